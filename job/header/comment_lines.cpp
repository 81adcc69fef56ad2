#include "job/header/comment_lines.h"

#include <vector>

#include "job/driver/driver_files.h"
#include "job/names/job_record.h"
#include "job/pjl/pjl_lines.h"
#include "job/pjl/text_cleaning.h"
#include "job/registry_key.h"

namespace xlr {
namespace {

std::optional<WideString> ProductName() {
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WSTR("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
                      0, KEY_READ, &handle.key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(handle.key, WSTR("ProductName"), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<WCHAR> text(size / sizeof(WCHAR) + 1, 0);
    if (RegQueryValueExW(handle.key, WSTR("ProductName"), nullptr, &type,
                         reinterpret_cast<LPBYTE>(text.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return WideString(text.data());
}

}  // namespace

std::string ComposeCommentLines(const CommentFields& f) {
    const std::string system = SafePjlValue(f.printer) + " (" + f.pluginVersion + "); " +
                               SafePjlValue(f.product) + " " + std::to_string(f.major) + "." +
                               std::to_string(f.minor) + "." + std::to_string(f.build) + "." +
                               std::to_string(f.productType) + "; Unidrv " + f.unidrvVersion;
    const std::string who =
        "Username: " + SafePjlValue(f.user) +
        "; App Filename: " + SafePjlValue(CutUtf8(f.document, kCommentDocumentBytes)) + "; " +
        std::to_string(f.month) + "-" + std::to_string(f.day) + "-" + std::to_string(f.year);
    return QuotedPjlLine("@PJL COMMENT ", system) + QuotedPjlLine("@PJL COMMENT ", who);
}

std::optional<CommentFields> MakeCommentFields(PDEVOBJ device, const PluginDeviceState& state,
                                               const SettingsRecord& settings) {
    HANDLE printer = device->hPrinter;
    const std::optional<JobRecord> job = ReadJobRecord(printer, state.jobId);
    const std::optional<DriverRecord> driver = ReadDriverRecord(printer);
    const std::optional<WideString> product = ProductName();
    if (!job || !driver || !product) return std::nullopt;
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&version))) return std::nullopt;
    const std::optional<SYSTEMTIME> local = LocalSubmissionTime(*job);
    std::optional<std::string> pluginVersion = PluginVersion(*driver);
    std::optional<std::string> unidrvVersion = UnidrvVersion(*driver);
    if (!local || !pluginVersion || !unidrvVersion) return std::nullopt;

    const CleaningRule rule = CleaningRuleFor(static_cast<uint32_t>(state.pjlEncoding));
    WideString user(FieldText(settings.appUserName));
    if (user.empty()) user = job->userName;
    CleanForPjl(user, rule);
    if (user.empty()) user = UntitledName(printer);
    WideString document = job->document;
    CleanForPjl(document, rule);

    std::optional<std::string> printerText = ToCodePage(job->printerName, CP_ACP);
    std::optional<std::string> productText = ToCodePage(*product, CP_ACP);
    std::optional<std::string> userText = ToCodePage(user, CP_UTF8);
    std::optional<std::string> documentText = ToCodePage(document, CP_UTF8);
    if (!printerText || !productText || !userText || !documentText) return std::nullopt;

    CommentFields fields;
    fields.printer = std::move(*printerText);
    fields.pluginVersion = std::move(*pluginVersion);
    fields.product = std::move(*productText);
    fields.major = version.dwMajorVersion;
    fields.minor = version.dwMinorVersion;
    fields.build = version.dwBuildNumber;
    fields.productType = version.wProductType;
    fields.unidrvVersion = std::move(*unidrvVersion);
    fields.user = std::move(*userText);
    fields.document = std::move(*documentText);
    fields.month = local->wMonth;
    fields.day = local->wDay;
    fields.year = local->wYear;
    return fields;
}

}  // namespace xlr
