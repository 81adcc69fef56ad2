// What the library does to a picture, read from the caller's settings.
#pragma once

#include <cstdint>

#include "enhance/mh_api.h"

namespace xlenhance {

enum class Strength : uint8_t { None, Low, Medium, High };

// A setting level: -1 low, 0 medium, 1 high. 99 (off), -99 (not set) and any
// other value ask for nothing.
Strength StrengthOf(int32_t level);

struct Plan {
    Strength contrast = Strength::None;   // automatic levels stretch
    Strength flash = Strength::None;      // shadow lift
    Strength sharpness = Strength::None;  // unsharp mask
    Strength smoothing = Strength::None;  // blur
    int blurRadius = 1;                   // pixels, for both filters

    // Sharpening minus smoothing: the share of the detail (picture minus its
    // blur) added back; negative values smooth.
    float DetailGain() const;
    bool Spatial() const { return DetailGain() != 0.0f; }
};

// Smart focus and red-eye reduction have nothing to change in this library.
// The blur radius follows the picture's resolution on paper (its scaled value,
// else the printer's): detail of about 1/200 inch is sharpened.
Plan MakePlan(const MHParams& params);

}  // namespace xlenhance
