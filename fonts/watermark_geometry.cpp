#include "fonts/watermark_geometry.h"

#include <cmath>

namespace xlr {
namespace {

// π as the single-precision number the angles are computed with.
constexpr float kPi = 3.1415927f;

bool TwoWide(uint32_t pagesPerSheet) {
    return pagesPerSheet == 2 || pagesPerSheet == 6;
}

double Radians(float degrees) {
    return degrees * kPi / 180.0f;
}

int32_t Truncated(double value) {
    if (!(value > -2147483648.0 && value < 2147483648.0)) return 0;  // NaN or out of range
    return static_cast<int32_t>(value);
}

int16_t Truncated16(double value) {
    return static_cast<int16_t>(Truncated(value));
}

// Step 4 of the angle: a diagonal watermark on a logical page turned against
// the device.
float DiagonalTurned(float a, const AngleInputs& in) {
    if (in.slot == in.device || in.pagesPerSheet == 1) return a;
    const bool twoWide = TwoWide(in.pagesPerSheet);
    if (in.slot == kPortrait) return twoWide ? 180 - a : -a;
    return twoWide ? 360 - a : -a - 180;
}

// Step 5: a fixed angle, by the page's, the settings' and the device's orientation.
float FixedTurned(float a, const AngleInputs& in) {
    const bool devicePortrait = in.device == kPortrait;
    if (in.slot == in.settings) {
        if (in.settings == kPortrait) return in.slot == in.device || devicePortrait ? a : a + 270;
        if (in.slot == in.device) return a;
        return devicePortrait && TwoWide(in.pagesPerSheet) ? a - 90 : a + 270;
    }
    if (in.settings == kPortrait) return in.pagesPerSheet == 1 || !devicePortrait ? a : a + 90;
    return in.pagesPerSheet == 1 || devicePortrait ? a : a - 90;
}

}  // namespace

double SheetMargin(uint32_t pagesPerSheet) {
    switch (pagesPerSheet) {
        case 2:
        case 6:
            return 0.085;
        case 4:
        case 9:
        case 16:
            return 0.04;
        default:
            return 0;
    }
}

double SheetSizeFactor(const WatermarkBox& frame, uint32_t pagesPerSheet) {
    if (pagesPerSheet <= 1 || frame.right == 0 || frame.bottom == 0) return 1;
    const double root = std::sqrt(static_cast<double>(pagesPerSheet));
    const double m = SheetMargin(pagesPerSheet);
    const double fx =
        (frame.left / root + frame.right - frame.left) / static_cast<double>(frame.right) - m;
    const double fy =
        (frame.top / root + frame.bottom - frame.top) / static_cast<double>(frame.bottom) - m;
    return (fx + fy) / 2;
}

float WatermarkAngleOf(const AngleInputs& in) {
    float a = static_cast<float>(in.angle % 360);
    if (in.angleMode == 0)
        a = std::atan2(static_cast<float>(in.frame.bottom), static_cast<float>(in.frame.right)) *
            180.0f / kPi;
    if (in.rightToLeftUi && (in.angleMode == 0 || in.angleMode == 2)) a = 360 - a;
    if (TwoWide(in.pagesPerSheet) && in.turnedPages != 0) a += 90;
    return in.angleMode == 0 ? DiagonalTurned(a, in) : FixedTurned(a, in);
}

float AngleUpTo360(float angle) {
    if (!std::isfinite(angle)) return 0;
    while (angle > 360) angle -= 360;
    return angle;
}

WatermarkPoint SlotCentre(const WatermarkBox& box, double scale) {
    if (scale == 1)
        return {box.left + (box.right - box.left) / 2, box.top + (box.bottom - box.top) / 2};
    return {box.left + Truncated(box.right * scale - box.left * scale) / 2,
            box.top + Truncated(box.bottom * scale - box.top * scale) / 2};
}

WatermarkBox ScaledBox(const WatermarkBox& box, double scale) {
    if (scale == 1) return box;
    return {Truncated(box.left * scale), Truncated(box.top * scale), Truncated(box.right * scale),
            Truncated(box.bottom * scale)};
}

WatermarkPoint TextStart(WatermarkPoint centre, int32_t width, int32_t height, float angle,
                         uint32_t pagesPerSheet) {
    const double hx = width / 2.0, hy = height / 2.0;
    const double r = std::hypot(hx, hy);
    const double t = hx == 0 ? 0 : std::atan(hy / hx);
    // The half-diagonal's angle is divided so that the text's middle, not its
    // baseline, crosses the centre; how much depends on the turn and the layout.
    double dx = 2, dy = 2;
    if (angle == 0)
        dx = 1, dy = 2;
    else if (pagesPerSheet == 1)
        dx = 2, dy = 6;
    const double a = Radians(angle);
    return {centre.x - Truncated(std::cos(a + t / dx) * r),
            centre.y + Truncated(std::sin(a + t / dy) * r)};
}

CharacterStep CharacterStepOf(int32_t advance, int32_t height, float angle) {
    const double a = Radians(angle);
    const double c = std::cos(a), s = std::sin(a);
    return {Truncated16(c * advance), Truncated16(-(s * advance)), Truncated16(c * height),
            Truncated16(-(s * height))};
}

bool CellTouchesBox(WatermarkPoint at, const CharacterStep& step, const WatermarkBox& box) {
    const auto inside = [&box](int64_t x, int64_t y) {
        return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
    };
    const int64_t x = at.x, y = at.y;
    return inside(x, y) || inside(x + step.xSpacing, y + step.ySpacing) ||
           inside(x + step.xHeight, y + step.yHeight) ||
           inside(x + step.xSpacing + step.xHeight, y + step.ySpacing + step.yHeight);
}

}  // namespace xlr
