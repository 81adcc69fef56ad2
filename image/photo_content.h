// The test the blit hooks ask before they send an image as JPEG: large enough,
// 24-bit, and without many hard edges (text, line art and screenshots compress
// badly and blur in JPEG; photographs do not).
#pragma once

#include <winddi.h>

namespace xlr {

// True when the rectangle of the surface may be sent as JPEG: wider and taller
// than 40 pixels with width + height above 100, a 24-bit bitmap the rectangle
// lies inside, and, over about 16 rows sampled evenly, fewer than 230 colour
// steps of 224 or more between neighbouring pixels.
bool IsPhotoContent(const SURFOBJ* surface, const RECTL& rect);

}  // namespace xlr
