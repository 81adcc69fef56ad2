// PNG sources: whether the plug-in takes one still compressed, and its
// decoding into a 24-bit surface.
#pragma once

#include <cstddef>

#include <winddi.h>

#include "image/decoded_image.h"

namespace xlr {

// True when the bytes are a PNG whose header libpng reads and whose colour type
// is not truecolour with alpha (6); every other colour type, bit depth and
// interlace method is taken.
bool IsSupportedPng(const void* data, size_t size);

// Decodes a BMF_PNG source (its bits are the file) into the holder as a
// bottom-up 24-bit surface, stretched to the size the source declares when the
// image has another. Palette and low-depth grey images are expanded, 16-bit
// samples stripped to 8, grey turned into RGB and the file's gamma applied; an
// image that keeps an alpha channel (grey with alpha, or transparency) is not
// decoded. False, with the holder empty, for any failure, including a header
// whose size the data cannot hold and data that ends early.
bool DecodePng(DecodedImage& holder, SURFOBJ* source, SURFOBJ** decoded);

}  // namespace xlr
