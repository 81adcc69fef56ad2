#include "enhance/picture.h"

namespace xlenhance {

uint64_t PaddedStride(uint32_t width, uint32_t bitsPerPixel) {
    return (uint64_t{width} * bitsPerPixel + 31) / 32 * 4;
}

std::optional<Picture> DescribePicture(uint8_t* pixels, const MHImageDesc& desc) {
    if (pixels == nullptr || desc.size != sizeof(MHImageDesc)) return std::nullopt;
    if (desc.bitsPerPixel != 24 && desc.bitsPerPixel != 32) return std::nullopt;
    if (desc.width == 0 || desc.height == 0) return std::nullopt;
    const uint64_t rowBytes = uint64_t{desc.width} * (desc.bitsPerPixel / 8);
    const uint64_t stride =
        desc.stride != 0 ? desc.stride : PaddedStride(desc.width, desc.bitsPerPixel);
    if (stride < rowBytes || stride > kLargestPicture) return std::nullopt;
    // The last row needs only its pixels, not its padding.
    const uint64_t needed = stride * (desc.height - 1) + rowBytes;
    if (needed > kLargestPicture) return std::nullopt;
    if (desc.imageSize != 0 && desc.imageSize < needed) return std::nullopt;
    Picture picture;
    picture.pixels = pixels;
    picture.width = desc.width;
    picture.height = desc.height;
    picture.bytesPerPixel = desc.bitsPerPixel / 8;
    picture.stride = static_cast<size_t>(stride);
    return picture;
}

}  // namespace xlenhance
