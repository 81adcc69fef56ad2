#include "job/header/name_lines.h"

#include "job/driver/driver_files.h"
#include "job/names/job_record.h"
#include "job/pjl/pjl_lines.h"
#include "job/pjl/text_cleaning.h"

namespace xlr {
namespace {

CleaningRule RuleOf(const PluginDeviceState& state) {
    return CleaningRuleFor(static_cast<uint32_t>(state.pjlEncoding));
}

// The document name in UTF-8 after cleaning the state's own field.
std::optional<std::string> CleanDocumentName(PluginDeviceState& state) {
    CleanForPjl(state.documentName, std::size(state.documentName), RuleOf(state));
    return ToCodePage(FieldText(state.documentName), CP_UTF8);
}

}  // namespace

std::optional<std::string> JobNameLine(PluginDeviceState& state) {
    const std::optional<std::string> name = CleanDocumentName(state);
    if (!name) return std::nullopt;
    return QuotedPjlLine("@PJL JOB NAME=", *name);
}

std::string StringCodeSetLine() {
    return "@PJL SET STRINGCODESET=UTF8\n";
}

bool SendsUserAndJobName(const SettingsRecord& settings) {
    return settings.userNameOverride == 0 ||
           (settings.userNameOverride == 1 && settings.retentionMode == 0);
}

std::string UserAndJobNameLines(PDEVOBJ device, PluginDeviceState& state,
                                const SettingsRecord& settings) {
    HANDLE printer = device->hPrinter;
    WideString user;
    if (const std::optional<JobRecord> job = ReadJobRecord(printer, state.jobId)) {
        user = job->userName;
    } else {
        user = FieldText(state.retentionUserName);
    }
    CleanForPjl(user, RuleOf(state));
    if (user.empty()) user = UntitledName(printer);

    std::string lines;
    if (const std::optional<std::string> name = ToCodePage(user, CP_UTF8))
        lines += QuotedPjlLine("@PJL SET USERNAME=", *name);
    if (settings.jobRetention == 0 || settings.retentionMode == 0)
        // The document name is cleaned here too: job accounting may be off, so
        // the JOB NAME line need not have cleaned it.
        if (const std::optional<std::string> name = CleanDocumentName(state))
            lines += QuotedPjlLine("@PJL SET JOBNAME=", *name);
    return lines;
}

}  // namespace xlr
