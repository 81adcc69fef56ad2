// Watermarks: the text of the user's watermark drawn over each logical page of
// a sheet, with a downloaded TrueType font or rotated bitmap fonts.
//
// FIXME: watermark drawing is not built yet. Until it is, DrawWatermark draws
// nothing and answers false; the per-sheet loop that calls it (and clears the
// sheet's watermark values afterwards) is built and runs as it will.
#pragma once

#include "pclxl/stream.h"
#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// Draws the watermark of logical page `slot` (0 to 15) of the sheet into the
// stream. Success flag; the callers go on either way.
bool DrawWatermark(XLStream* stream, PluginDeviceState& state, const SettingsRecord& settings,
                   int slot);

}  // namespace xlr
