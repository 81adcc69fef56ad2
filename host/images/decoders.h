// One reader per image format behind image_file.h: each identifies its header
// and decodes into the bitmap layout of DecodedImage. Messages do not name the
// file; image_file.cpp puts the name in front.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "host/images/image_file.h"

namespace xlhost::image_detail {

struct ImageSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

ImageResult<ImageSize> ReadPpmSize(std::span<const uint8_t> file);
ImageResult<DecodedImage> DecodePpm(std::span<const uint8_t> file);

ImageResult<ImageSize> ReadJpegSize(std::span<const uint8_t> file);
ImageResult<DecodedImage> DecodeJpeg(std::span<const uint8_t> file);

ImageResult<ImageSize> ReadPngSize(std::span<const uint8_t> file);
ImageResult<DecodedImage> DecodePng(std::span<const uint8_t> file);

// A message when an image of this size is empty or beyond kMaxImagePixels.
std::optional<std::string> CheckImageSize(uint64_t width, uint64_t height);

// A bitmap of the size whose pixels the decoder must write all of (the rows'
// padding is zero), or a message when the size is empty or beyond
// kMaxImagePixels. Every decoder allocates through this, after its header.
ImageResult<DecodedImage> AllocateImage(uint64_t width, uint64_t height);

}  // namespace xlhost::image_detail
