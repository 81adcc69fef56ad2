// A picture in a caller's buffer, as an MHImageDesc describes it, checked once
// so that the filters can trust its rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "enhance/mh_api.h"

namespace xlenhance {

// The largest picture taken: the engine's own limit on a bitmap.
constexpr uint64_t kLargestPicture = 0x7FFFFFFF;

struct Picture {
    uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bytesPerPixel = 0;  // 3 or 4
    size_t stride = 0;

    uint8_t* Row(uint32_t y) const { return pixels + stride * y; }
    size_t RowBytes() const { return size_t{width} * bytesPerPixel; }
};

// Rows padded to whole 32-bit words, as bitmaps lay them out.
uint64_t PaddedStride(uint32_t width, uint32_t bitsPerPixel);

// The picture `desc` describes over `pixels`; nothing for a description of
// another interface version, a depth other than 24 or 32 bits, an empty or too
// large picture, a stride shorter than a row, or an image size that cannot
// hold every row.
std::optional<Picture> DescribePicture(uint8_t* pixels, const MHImageDesc& desc);

}  // namespace xlenhance
