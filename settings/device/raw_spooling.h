// Whether a job may skip the journaled page stage and be spooled as raw printer
// data.
#pragma once

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// Whether the job may be spooled as raw printer data rather than journaled:
// only when nothing in it needs the page-by-page stage that journaling gives
// (pages per sheet, watermarks, manual duplexing, booklets, posters, scaling).
bool RawSpoolingAllowed(const SettingsRecord& settings, const PluginDeviceState& state);

}  // namespace xlr
