// JPEG sources: decoding a BMF_JPEG source into a 24-bit surface, reduced by
// the library's scaled decompression where the image is larger than it is to
// be drawn.
#pragma once

#include <winddi.h>

#include "image/decoded_image.h"

namespace xlr {

// Decodes the source (its bits are the file) into the holder as a bottom-up
// 24-bit surface. When the source declares another size than the image's, the
// library scales by the declared height over the image height (declared width
// over image width when the declared width is the larger), picking the nearest
// scale of its own at or above it; a result that still differs from the
// declared size is stretched. False for data that is not a JPEG whose
// decompression starts, data that ends early or is corrupt, or a result too
// large for a bitmap; the holder keeps its old image when the data is not a
// JPEG, and is empty after any later failure.
bool DecodeJpeg(DecodedImage& holder, SURFOBJ* source, SURFOBJ** decoded);

}  // namespace xlr
