// libpng reading from memory for the plug-in: a reader whose errors jump back
// to the PngGuarded call that is running, which never prints, and whose input
// never reads past the data it was given.
#pragma once

#include <cstddef>
#include <csetjmp>

#include <png.h>

namespace xlr {

struct PngMemoryInput {
    const png_byte* data;
    size_t size;
    size_t position;
};

// A read struct and an info struct over `data` (which must outlive the reader),
// positioned after the 8-byte signature; destroyed with the reader.
class PngReader {
  public:
    PngReader(const png_byte* data, size_t size);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    explicit operator bool() const { return png != nullptr && info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;
    PngMemoryInput input;
};

// Runs `steps` under libpng's jump buffer; false when libpng failed. As with
// libjpeg, the steps must not make objects with destructors: a jump leaves them
// without running any.
template <typename Steps>
bool PngGuarded(png_structp png, Steps&& steps) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    steps();
    return true;
}

struct PngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
};

// True when the data starts with the PNG signature.
bool HasPngSignature(const png_byte* data, size_t size);

// Reads the chunks up to the image data and the header's values.
bool ReadPngHeader(PngReader& reader, PngHeader& header);

}  // namespace xlr
