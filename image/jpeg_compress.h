// Compression of one rectangle of a 24-bit surface into a caller's buffer as a
// baseline JPEG: quality 95, three components, JFIF YCbCr, no chroma
// subsampling, all tables written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include <winddi.h>

namespace xlr {

// The number of bytes written to `output`, or nothing when the surface is not a
// readable 24-bit bitmap, the rectangle is empty or not inside it, libjpeg
// fails, or the compressed data would not fit `output` (the buffer is never
// written past its end). Rows are fed to the compressor straight from the
// surface; its pixels are blue, green, red.
std::optional<size_t> CompressRectToJpeg(std::span<uint8_t> output, const RECTL& rect,
                                         const SURFOBJ& surface);

}  // namespace xlr
