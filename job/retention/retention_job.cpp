#include "job/retention/retention_job.h"

#include <algorithm>

#include "job/names/document_names.h"
#include "job/pjl/pjl_writer.h"
#include "job/retention/job_counter.h"

namespace xlr {
RetentionChoices RetentionChoicesFor(const PluginDeviceState& state,
                                     const SettingsRecord& settings) {
    RetentionChoices choices;
    choices.mode = settings.retentionMode;
    choices.printerCode = settings.printerCode;
    choices.pinRequired = settings.pinRequired;
    choices.pin = settings.pin;
    choices.customNameInUse = settings.customNameInUse;
    choices.duplicateFlag = settings.duplicateFlag;
    choices.duplicateSwitch = settings.duplicateSwitch;
    choices.duplicateAction = settings.duplicateAction;
    choices.autoJobNaming = settings.autoJobNaming;
    choices.autoJobNumber = settings.autoJobNumber;
    // A document started without a name has not set the state's names.
    WideString user(FieldText(state.retentionUserName));
    if (user.empty())
        user =
            RetentionUserName(settings, CleaningRuleFor(static_cast<uint32_t>(state.pjlEncoding)));
    const WideStringView jobName = settings.customNameInUse != 0
                                       ? FieldText(settings.customJobName)
                                       : FieldText(state.retentionJobName);
    choices.user = ToCodePage(user, CP_UTF8).value_or(std::string());
    choices.jobName = ToCodePage(jobName, CP_UTF8).value_or(std::string());
    return choices;
}

void WriteRetentionBlock(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings) {
    if (settings.jobRetention != 1 || state.retentionSent != 0) return;
    state.retentionSent = 1;
    CountRetainedJob(device->hPrinter, settings);
    if (const std::optional<std::string> block =
            ComposeRetentionBlock(RetentionChoicesFor(state, settings)))
        WritePjl(device, state, *block);
}

}  // namespace xlr
