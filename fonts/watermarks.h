// Watermarks: a line of text drawn by the plug-in over each logical page of a
// sheet, in a downloaded TrueType font (or rotated bitmap fonts when the
// TrueType font cannot be sent), filled with a shading pattern through
// transparent paint so that only the glyph shapes cover the page.
#pragma once

#include <cstdint>

#include <printoem.h>

#include "fonts/glyph_map.h"
#include "settings/device/device_state.h"
#include "pclxl/stream.h"
#include "settings/settings_record.h"

namespace xlr {

// Font files above this size are drawn with bitmap fonts.
constexpr size_t kLargestDownloadedFont = 1000000;

// Whether logical page `slot` of the sheet gets a watermark: watermarks are on,
// a page occupies the slot, the job is not raw, and the page's ordinal is
// within the sheet's watermark count.
bool SlotHasWatermark(PDEVOBJ device, const PluginDeviceState& state,
                      const SettingsRecord& settings, int slot);

// The logical pages of the sheet as the watermark sees them: the
// pages-per-sheet count, 1 for a one-sided layout printed on one side.
uint32_t WatermarkPagesPerSheet(PDEVOBJ device, const PluginDeviceState& state,
                                const SettingsRecord& settings);

// The watermark's angle on `slot`, degrees counter-clockwise. A device without
// a public device mode counts as portrait.
float WatermarkAngle(XLStream* stream, const PluginDeviceState& state,
                     const SettingsRecord& settings, int slot);

// Draws the watermark of logical page `slot` (0-15) at the end of the sheet.
// The TrueType font is sent once per device, each rotated bitmap font once per
// angle and orientation. False, with nothing written for the slot, when the
// device has no public device mode or no resolution, the text is empty, the
// font cannot be had or measured, the TrueType font or the glyph of a
// character of the text cannot be sent whole, or memory runs out (what was
// written by then stays).
bool DrawWatermark(XLStream* stream, PluginDeviceState& state, const SettingsRecord& settings,
                   int slot);

}  // namespace xlr
