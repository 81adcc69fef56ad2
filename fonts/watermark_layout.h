// Where each character of a watermark goes: measured with the font selected on
// the screen context, laid along the angle from a start that puts the text
// across the slot's centre.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "fonts/watermark_geometry.h"
#include "settings/wide_text.h"

namespace xlr {

struct WatermarkLayout {
    WideString text;
    WatermarkBox box;  // the slot's box, scaled: characters outside it are not drawn
    WatermarkPoint start;
    std::vector<CharacterStep> steps;       // per character
    std::vector<WatermarkPoint> positions;  // per character: where it starts

    bool Touches(size_t i) const { return CellTouchesBox(positions[i], steps[i], box); }
};

// Measures every character (its advance and its height alone) and the whole
// text; none when the font cannot measure one of them.
std::optional<WatermarkLayout> LayOutWatermark(HDC dc, WideStringView text, float angle,
                                               const WatermarkBox& slot, double scale,
                                               uint32_t pagesPerSheet);

}  // namespace xlr
