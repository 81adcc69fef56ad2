// Image files that the document player puts on pages: PPM (P6, P5, P3), JPEG
// and PNG. A file is read whole and identified from its header first; the
// pixels are decoded only when a page needs them, so an image that is passed
// through to the driver compressed is never decoded by the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/images/page_buffer.h"

namespace xlhost {

enum class ImageFormat { Ppm, Jpeg, Png };

std::string_view ImageFormatName(ImageFormat format);

// The host refuses images of more pixels than this: 2^28 pixels are 768 MiB
// decoded, far beyond any page at printer resolutions.
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 28;

// Image files larger than this are refused before they are read whole: a P6
// file of kMaxImagePixels is 768 MiB, and no device or pipe is read without end.
constexpr uint64_t kLargestImageFile = uint64_t{1} << 30;

// A file as read: its bytes (kept for pass-through) and what its header says.
struct ImageSource {
    std::string name;  // for messages
    ImageFormat format = ImageFormat::Ppm;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> bytes;
};

// Decoded pixels in the layout of a 24-bit device-independent bitmap: rows
// bottom-up (the image's top row is the last row in memory), each row blue,
// green, red per pixel and padded to a multiple of 4 bytes. A bitmap surface
// can be made over these bytes without copying them.
struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    size_t stride = 0;
    std::vector<uint8_t, PageBufferAllocator<uint8_t>> bits;

    // The bytes of image row y (0 = top).
    uint8_t* Row(uint32_t y) { return bits.data() + (height - 1 - y) * stride; }
    const uint8_t* Row(uint32_t y) const { return bits.data() + (height - 1 - y) * stride; }
    // 0xRRGGBB of the pixel at (x, y), y = 0 at the top.
    uint32_t Rgb(uint32_t x, uint32_t y) const;
};

template <typename T>
using ImageResult = std::variant<T, std::string>;

// Reads a file and identifies it; the message names the file.
ImageResult<ImageSource> ReadImageFile(const std::filesystem::path& path);
// Identifies a file as ReadImageFile does, with its messages, but keeps no
// bytes (`bytes` is empty). Only the first bytes are read, unless the header is
// not within them or the file is not a regular one.
ImageResult<ImageSource> ReadImageHeader(const std::filesystem::path& path);
// Identifies bytes already in memory (`name` only appears in messages): the
// format from the signature, the size from the header.
ImageResult<ImageSource> IdentifyImage(std::vector<uint8_t> bytes, std::string name);
// Decodes the pixels; truncated, corrupt or lying data fails with a message.
ImageResult<DecodedImage> DecodeImage(const ImageSource& source);

}  // namespace xlhost
