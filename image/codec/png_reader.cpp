#include "image/codec/png_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace xlcodec {
namespace {

constexpr size_t kSignatureSize = 8;

// Keeps libpng's text of what went wrong, then returns to PngGuarded.
[[noreturn]] void JumpBack(png_structp png, png_const_charp message) {
    auto* input = static_cast<PngMemoryInput*>(png_get_error_ptr(png));
    std::snprintf(input->message, sizeof input->message, "%s", message);
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng asks for exactly `length` bytes; data that ends before them is
// damaged, and the rest of the buffer must not be left for it to read.
void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
    auto* input = static_cast<PngMemoryInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "PNG data ends early");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

}  // namespace

PngReader::PngReader(const png_byte* data, size_t size)
    : input{data, data != nullptr ? size : 0, 0, {}} {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, JumpBack, IgnoreWarning);
    if (png == nullptr) return;
    info = png_create_info_struct(png);
    if (info == nullptr) return;
    png_set_read_fn(png, &input, ReadFromMemory);
}

PngReader::~PngReader() {
    if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
}

bool HasPngSignature(const png_byte* data, size_t size) {
    return data != nullptr && size >= kSignatureSize && png_sig_cmp(data, 0, kSignatureSize) == 0;
}

bool ReadPngHeader(PngReader& reader, PngHeader& header) {
    if (!reader) return false;
    png_structp png = reader.png;
    png_infop info = reader.info;
    return PngGuarded(png, [&] {
        png_read_info(png, info);
        png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType,
                     &header.interlace, nullptr, nullptr);
    });
}

bool PngDataCanHold(const PngHeader& header, size_t fileSize) {
    constexpr uint64_t kMaxDeflateRatio = 1100;
    constexpr uint64_t kAllowanceBytes = 1 << 20;
    uint64_t channels = 4;
    switch (header.colorType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE:
            channels = 1;
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            channels = 2;
            break;
        case PNG_COLOR_TYPE_RGB:
            channels = 3;
            break;
    }
    const uint64_t rowBytes =
        (uint64_t{header.width} * channels * static_cast<uint64_t>(header.bitDepth) + 7) / 8;
    const uint64_t imageBytes = (rowBytes + 1) * header.height;  // a filter byte per row
    return imageBytes <= uint64_t{fileSize} * kMaxDeflateRatio + kAllowanceBytes;
}

}  // namespace xlcodec
