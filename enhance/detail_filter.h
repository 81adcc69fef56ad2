// Sharpening and smoothing: the picture's detail is the picture minus a blur
// of it (a box blur run twice, close to a Gaussian); an unsharp mask adds some
// of that detail back, smoothing takes some away.
#pragma once

#include "enhance/picture.h"

namespace xlenhance {

// Changes the colour samples of `picture` inside the columns [left, right) and
// rows [top, bottom) to sample + gain × (sample − blur), the blur taken over
// the whole picture with the given radius. Sharpening (gain > 0) leaves
// differences of one or two levels alone, so that flat areas keep their grain
// rather than gaining noise. Throws std::bad_alloc when the working copy
// cannot be had.
void FilterDetail(const Picture& picture, int radius, float gain, uint32_t left, uint32_t top,
                  uint32_t right, uint32_t bottom);

}  // namespace xlenhance
