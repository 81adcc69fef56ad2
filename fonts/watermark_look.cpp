#include "fonts/watermark_look.h"

#include <algorithm>

namespace xlr {

std::array<uint8_t, kShadePatternBytes> ShadePattern(int32_t shade) {
    const auto& rows = kShadeRows[static_cast<size_t>(std::clamp(shade, 0, kShadeCount - 1))];
    std::array<uint8_t, kShadePatternBytes> pattern{};
    for (size_t row = 0; row < rows.size(); ++row) {
        pattern[row * 4] = static_cast<uint8_t>(rows[row] >> 8);
        pattern[row * 4 + 1] = static_cast<uint8_t>(rows[row]);
    }
    return pattern;
}

WatermarkPalette WatermarkPaletteOf(int32_t color, bool monochrome) {
    constexpr uint32_t kGray = 1, kRgb = 2;
    if (monochrome) return {kGray, {0x00, 0xFF}, 2};
    const bool known = color >= 0 && static_cast<size_t>(color) < kWatermarkColors.size();
    const auto& rgb = kWatermarkColors[known ? static_cast<size_t>(color) : 0];
    return {kRgb, {rgb[0], rgb[1], rgb[2], 0xFF, 0xFF, 0xFF}, 6};
}

}  // namespace xlr
