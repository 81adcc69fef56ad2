// Tone curves: one table that every colour sample goes through. The automatic
// levels stretch and the shadow lift are curves, and so is their combination.
#pragma once

#include <array>
#include <cstdint>

#include "enhance/picture.h"
#include "enhance/plan.h"

namespace xlenhance {

using ToneCurve = std::array<uint8_t, 256>;

ToneCurve IdentityCurve();
bool IsIdentity(const ToneCurve& curve);
// `first`, then `then`.
ToneCurve Compose(const ToneCurve& first, const ToneCurve& then);

// The automatic levels stretch: the darkest and the brightest share of the
// colour samples (more for a stronger setting) become black and white and the
// rest is spread evenly between them, the same for the three colours so that
// hues stay. A picture whose samples span almost nothing is left as it is
// (stretching it would only show its noise).
ToneCurve LevelsStretch(const Picture& picture, Strength strength);

// The digital flash: a gamma curve that lifts the shadows and leaves black and
// white where they are.
ToneCurve ShadowLift(Strength strength);

// Puts the colour samples of `from` through the curve into `to` (same size;
// they may be the same picture). A fourth byte per pixel is copied.
void ApplyCurve(const Picture& from, const Picture& to, const ToneCurve& curve);

}  // namespace xlenhance
