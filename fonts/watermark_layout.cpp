#include "fonts/watermark_layout.h"

namespace xlr {

std::optional<WatermarkLayout> LayOutWatermark(HDC dc, WideStringView text, float angle,
                                               const WatermarkBox& slot, double scale,
                                               uint32_t pagesPerSheet) {
    WatermarkLayout layout;
    layout.text.assign(text);
    layout.box = ScaledBox(slot, scale);
    SIZE whole{};
    if (!GetTextExtentPoint32W(dc, layout.text.data(), static_cast<int>(layout.text.size()),
                               &whole))
        return std::nullopt;
    layout.start = TextStart(SlotCentre(slot, scale), whole.cx, whole.cy, angle, pagesPerSheet);

    WatermarkPoint at = layout.start;
    for (const WCHAR c : layout.text) {
        INT advance = 0;
        SIZE extent{};
        if (!GetCharWidth32W(dc, c, c, &advance) || !GetTextExtentPoint32W(dc, &c, 1, &extent))
            return std::nullopt;
        const CharacterStep step = CharacterStepOf(advance, extent.cy, angle);
        layout.steps.push_back(step);
        layout.positions.push_back(at);
        at = {at.x + step.xSpacing, at.y + step.ySpacing};
    }
    return layout;
}

}  // namespace xlr
