#include "enhance/plan.h"

#include <algorithm>

namespace xlenhance {
namespace {

constexpr uint32_t kFallbackResolution = 300;

float SharpenGain(Strength s) {
    constexpr float kGain[] = {0.0f, 0.5f, 1.0f, 1.6f};
    return kGain[static_cast<int>(s)];
}

float SmoothGain(Strength s) {
    constexpr float kGain[] = {0.0f, 0.3f, 0.55f, 0.8f};
    return kGain[static_cast<int>(s)];
}

}  // namespace

Strength StrengthOf(int32_t level) {
    switch (level) {
        case -1:
            return Strength::Low;
        case 0:
            return Strength::Medium;
        case 1:
            return Strength::High;
        default:
            return Strength::None;
    }
}

float Plan::DetailGain() const {
    return SharpenGain(sharpness) - SmoothGain(smoothing);
}

Plan MakePlan(const MHParams& params) {
    Plan plan;
    plan.contrast = StrengthOf(params.contrast);
    plan.flash = StrengthOf(params.digitalFlash);
    plan.sharpness = StrengthOf(params.sharpness);
    plan.smoothing = StrengthOf(params.smoothing);
    const uint32_t resolution = params.scaledValue != 0   ? params.scaledValue
                                : params.deviceValue != 0 ? params.deviceValue
                                                          : kFallbackResolution;
    plan.blurRadius = static_cast<int>(std::clamp<uint32_t>((resolution + 100) / 200, 1, 4));
    return plan;
}

}  // namespace xlenhance
