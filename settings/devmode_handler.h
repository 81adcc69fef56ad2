// The DevMode method: sizes, defaults, converts and merges the private device mode.
#pragma once

#include <functional>

#include <printoem.h>

#include "settings/settings_record.h"

namespace xlr {

// Writes who prints into a record; `printer` is the call's printer handle (may
// be null). The names belong to the job side, which sits above the settings,
// so the caller hands its step in.
using RecordNamesStep = std::function<void(SettingsRecord& record, HANDLE printer)>;

// Handles one DevMode call (OEMDM_SIZE, _DEFAULT, _CONVERT or _MERGE). Convert
// and Merge end with `recordNames` on the output record (none: no names are
// recorded). Returns false on failure, with the last error set to
// ERROR_INVALID_DATA.
bool HandleDevMode(DWORD mode, OEMDMPARAM* param, const RecordNamesStep& recordNames);

// The Default mode's values for the fields outside the per-feature groups.
void ApplyRecordDefaults(SettingsRecord& record);

}  // namespace xlr
