// The usage line: a short record for usage-tracking software on the printer
// side. It names the usage program's code, and carries checksums of who and
// which application printed, how the job is laid out, the system, the port
// kind and whether the driver was installed by its own installer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/printer_port.h"
#include "settings/settings_record.h"

namespace xlr {

constexpr size_t kUsageLineLimit = 120;  // bytes, line end included

// The feature's option keyword as field 1. A keyword with "LNNAME" and a part
// after "_" (LNNAME_AB12) sends only that part, and identifies the user rather
// than the machine.
struct UsageKeyword {
    std::string field;
    bool nameMode = false;
};
UsageKeyword ParseUsageKeyword(std::string_view keyword);

struct UsageFields {
    std::string keyword;
    std::optional<uint16_t> identity;  // field 2: none when the job record is missing
    uint16_t application = 0;          // field 3
    uint32_t flags = 0;                // field 4
    std::optional<uint32_t> system;    // field 5: none for other systems
    uint32_t port = 0;                 // field 6
    uint32_t installation = 0;         // field 7
};

// "@PJL USAGE = " and the seven fields, fields 2 to 7 in lower-case
// hexadecimal, separated by "," and ended by CR LF. Longer content is cut so
// that the line still ends with its CR LF.
std::string ComposeUsageLine(const UsageFields& fields);

// Field 4, flags of the job's layout as the user-interface side recorded it;
// some count only under the driver family's own print processor.
uint32_t UsageLayoutFlags(const SettingsRecord& settings, int16_t dmDuplex, int32_t posterPrinting);

// Field 5: 8 for Windows 2000, 32 for XP, 64 for version 5.2.
std::optional<uint32_t> UsageSystemField(DWORD major, DWORD minor);

// Field 6: 1 a cable to this computer, 4 a file, 2 anything else.
uint32_t UsagePortField(PortKind kind);

// The client machine's name without its leading backslashes, up to the next.
std::string UsageMachineToken(WideStringView machine);

// Composes and writes the usage line when the printer asks for it
// (KXSendPJLUsageCmd can be read).
void WriteUsageLine(PDEVOBJ device, const PluginDeviceState& state, const SettingsRecord& settings);

}  // namespace xlr
