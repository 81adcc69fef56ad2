// libpng reading from memory: a reader whose errors jump back to the
// PngGuarded call that is running, with libpng's text of the error kept for
// the caller; it never prints, and its input never reads past the data it was
// given.
#pragma once

#include <csetjmp>
#include <cstddef>

#include <png.h>

namespace xlcodec {

struct PngMemoryInput {
    const png_byte* data;
    size_t size;
    size_t position;
    char message[200];  // libpng's text of the error that ended the read
};

// A read struct and an info struct over `data` (which must outlive the
// reader), destroyed with the reader. libpng checks the signature itself when
// the header is read. Neither copies nor moves: libpng keeps the input's
// address.
class PngReader {
  public:
    PngReader(const png_byte* data, size_t size);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // False when libpng could not make its structures.
    explicit operator bool() const { return png != nullptr && info != nullptr; }
    const char* message() const { return input.message; }

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

// Deflate cannot shrink data by much more than 1032:1: false when the header
// promises more filtered image bytes than a file of `fileSize` bytes could
// hold, so that a lying header's size is never allocated.
bool PngDataCanHold(const PngHeader& header, size_t fileSize);

}  // namespace xlcodec
