// The DevMode method: sizes, defaults, converts and merges the private device mode.
#pragma once

#include <printoem.h>

#include "settings/settings_record.h"

namespace xlr {

// Handles one DevMode call (OEMDM_SIZE, _DEFAULT, _CONVERT or _MERGE). Returns
// false on failure, with the last error set to ERROR_INVALID_DATA.
bool HandleDevMode(DWORD mode, OEMDMPARAM* param);

// The Default mode's values for the fields outside the per-feature groups.
void ApplyRecordDefaults(SettingsRecord& record);

}  // namespace xlr
