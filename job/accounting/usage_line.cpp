#include "job/accounting/usage_line.h"

#include <cstdio>

#include "job/driver/driver_files.h"
#include "job/names/job_record.h"
#include "job/pjl/crc16.h"
#include "job/pjl/pjl_lines.h"
#include "job/pjl/pjl_writer.h"
#include "job/registry_key.h"
#include "settings/feature_reader.h"

namespace xlr {
namespace {

constexpr std::string_view kLinePrefix = "@PJL USAGE = ";
constexpr std::string_view kLineEnd = "\r\n";

// Print processor classes of the settings record.
constexpr uint32_t kOwnPrintProcessor = 1;
constexpr uint32_t kOtherPrintProcessor = 3;

constexpr uint32_t kFlagScaled = 1;
constexpr uint32_t kFlagPagesPerSheet = 2;
constexpr uint32_t kFlagPoster = 4;
constexpr uint32_t kFlagTwoSided = 8;
constexpr uint32_t kFlagLayout1876 = 16;

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02x", value);
    return text;
}

// 2 when the driver has an entry among the installed programs (its own
// installer put it there), 1 when not, 0 when the driver cannot be named.
uint32_t InstallationField(HANDLE printer) {
    const std::optional<DriverRecord> driver = ReadDriverRecord(printer);
    if (!driver) return 0;
    const WideString path =
        WSTR("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + driver->name;
    KeyHandle handle;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &handle.key) ==
                   ERROR_SUCCESS
               ? 2
               : 1;
}

std::optional<uint32_t> SystemField() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) return std::nullopt;
    return UsageSystemField(version.dwMajorVersion, version.dwMinorVersion);
}

// The application's 8-bit file name in upper case.
std::string UpperApplicationFile(const SettingsRecord& settings) {
    const std::string_view stored(settings.appFileName,
                                  strnlen(settings.appFileName, sizeof settings.appFileName));
    const std::optional<std::string> upper =
        ToCodePage(ToUpper(FromCodePage(stored, CP_ACP)), CP_ACP);
    return upper.value_or(std::string(stored));
}

}  // namespace

UsageKeyword ParseUsageKeyword(std::string_view keyword) {
    if (keyword.find("LNNAME") != std::string_view::npos) {
        const size_t underscore = keyword.find('_');
        if (underscore != std::string_view::npos) {
            const std::string_view rest = keyword.substr(underscore + 1);
            const std::string_view part = rest.substr(0, rest.find('_'));
            if (!part.empty()) return {std::string(part), true};
        }
    }
    return {std::string(keyword), false};
}

std::string ComposeUsageLine(const UsageFields& fields) {
    std::string line(kLinePrefix);
    line += fields.keyword + ",";
    line += (fields.identity ? Hex(*fields.identity) : std::string()) + ",";
    line += Hex(fields.application) + ",";
    line += Hex(fields.flags) + ",";
    line += (fields.system ? Hex(*fields.system) : std::string()) + ",";
    line += Hex(fields.port) + ",";
    line += Hex(fields.installation);
    std::string cut(CutUtf8(line, kUsageLineLimit - kLineEnd.size()));
    return cut + std::string(kLineEnd);
}

uint32_t UsageLayoutFlags(const SettingsRecord& settings, int16_t dmDuplex,
                          int32_t posterPrinting) {
    const uint32_t processor = settings.printProcessorClass;
    uint32_t flags = 0;
    if (processor == kOwnPrintProcessor &&
        ((settings.word1876 == 0 && settings.word1820 != 0) || settings.scalePercent != 100))
        flags |= kFlagScaled;
    if (processor != kOtherPrintProcessor) {
        if (settings.word1876 != 0)
            flags |= kFlagLayout1876;
        else if (settings.pagesPerSheet != 1)
            flags |= kFlagPagesPerSheet;
    }
    if ((dmDuplex != DMDUP_SIMPLEX || settings.duplex != DMDUP_SIMPLEX) && settings.word1876 == 0)
        flags |= kFlagTwoSided;
    if (processor == kOwnPrintProcessor && posterPrinting == 1) flags |= kFlagPoster;
    return flags;
}

std::optional<uint32_t> UsageSystemField(DWORD major, DWORD minor) {
    if (major != 5) return std::nullopt;
    switch (minor) {
        case 0:
            return 8;
        case 1:
            return 32;
        case 2:
            return 64;
        default:
            return std::nullopt;
    }
}

uint32_t UsagePortField(PortKind kind) {
    if (IsDirectPort(kind)) return 1;
    return kind == PortKind::File ? 4 : 2;
}

std::string UsageMachineToken(WideStringView machine) {
    while (!machine.empty() && machine.front() == WSTR('\\')) machine.remove_prefix(1);
    return ToCodePage(machine.substr(0, machine.find(WSTR('\\'))), CP_UTF8).value_or("");
}

void WriteUsageLine(PDEVOBJ device, const PluginDeviceState& state,
                    const SettingsRecord& settings) {
    const FeatureReader features(device, state.driverHelper);
    const std::optional<WideString> option = features.Read(WSTR("KXSendPJLUsageCmd"));
    if (!option) return;
    const UsageKeyword keyword = ParseUsageKeyword(ToUtf8(*option));
    HANDLE printer = device->hPrinter;

    UsageFields fields;
    fields.keyword = keyword.field;
    if (keyword.nameMode) {
        fields.identity = UsageHash(ToUtf8(FieldText(settings.retentionUserName)));
    } else if (const std::optional<JobRecord> job = ReadJobRecord(printer, state.jobId)) {
        fields.identity = UsageHash(UsageMachineToken(job->machineName));
    }
    fields.application = UsageHash(UpperApplicationFile(settings));
    fields.flags = UsageLayoutFlags(settings, device->pPublicDM->dmDuplex, state.posterPrinting);
    fields.system = SystemField();
    fields.port = UsagePortField(PrinterPortKind(printer));
    fields.installation = InstallationField(printer);
    WritePjl(device, state, ComposeUsageLine(fields));
}

}  // namespace xlr
