// The watermark's inputs from the settings record, the device state and the
// user's language, in the forms the drawing takes them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include <windows.h>

#include "fonts/watermark_geometry.h"
#include "settings/wide_text.h"
#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// Stores the text into a fixed field, cut to fit and terminated.
template <size_t N>
void StoreFieldText(WCHAR (&field)[N], WideStringView text) {
    const size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    field[length] = 0;
}

// The text in the system's 8-bit code page; empty when it cannot be converted.
std::string CodePageText(WideStringView text);

// The user interface reads right to left (Arabic or Hebrew).
bool RightToLeftUi();

// The character set of the user's language: Thai and Japanese have their own.
BYTE CharSetOfUser();

// The settings' size percentage (the second one when both scaling flags are
// set); a percentage that is not positive counts as 100.
int32_t ScalePercent(const WatermarkSettings& wm);

// The sheet's printable frame as the watermark escape gave it.
WatermarkBox FrameOf(const PluginDeviceState& state);

}  // namespace xlr
