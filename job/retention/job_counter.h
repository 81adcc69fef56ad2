// The per-user job counter of automatically numbered retained jobs, kept in the
// per-user store of the restricted user the printer names.
#pragma once

#include <cstdint>

#include <windows.h>

#include "settings/settings_record.h"

namespace xlr {

// The counter after one more job: it counts to 99 and starts again at 2.
uint32_t NextJobCount(uint32_t count);

// Which family of Windows the plug-in runs on, for the counter's use: 0 before
// Windows Vista, 1 Windows Vista and later, 2 when the version is unknown.
uint32_t OperatingSystemCode();

// Counts one job when the settings number retained jobs automatically for a
// PostScript job without a typed name. The new count is stored only when no
// duplicate-name handling is chosen. A printer that names no restricted user,
// or a store key that cannot be opened, leaves the counter alone.
void CountRetainedJob(HANDLE printer, const SettingsRecord& settings);

}  // namespace xlr
