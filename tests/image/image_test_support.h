// Pictures for the image path tests, made in code: photo-like and hard-edged
// 24-bit bitmaps, JPEG and PNG files written with libjpeg and libpng, JPEG
// decoding for comparing what the sender wrote, and the PCL XL operators that
// reached the spooler.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <winddi.h>

#include "pclxl/reader/stream_reader.h"
#include "platform/engine_test_support.h"

namespace imagetest {

using Bytes = std::vector<uint8_t>;

// Smooth colour gradients with a little texture, as a photograph has.
void FillPhotoLike(const enginetest::Bitmap& bitmap, unsigned seed = 1);
// Black and white stripes one pixel wide: every neighbour differs by 255.
void FillStripes(const enginetest::Bitmap& bitmap);

// RGB pixels, row by row from the top.
struct RgbImage {
    int width = 0;
    int height = 0;
    Bytes rgb;
};
RgbImage PhotoLikeRgb(int width, int height, unsigned seed = 1);
// The 24-bit pixels of a rectangle of a bitmap as RGB.
RgbImage RgbOf(const enginetest::Bitmap& bitmap, const RECTL& rect);

struct JpegOptions {
    int quality = 90;
    bool progressive = false;
};
Bytes EncodeJpeg(const RgbImage& image, JpegOptions options = {});
// Decodes with libjpeg (which ends the program on data it refuses).
RgbImage DecodeJpegFile(std::span<const uint8_t> jpeg);
double Psnr(const RgbImage& a, const RgbImage& b);

// A PNG of the colour type and bit depth; samples are made from (x, y) so that
// rows differ. `palette` entries for colour type 3; `transparency` adds tRNS.
struct PngSpec {
    int width = 8;
    int height = 4;
    int colorType = 2;  // PNG_COLOR_TYPE_RGB
    int bitDepth = 8;
    std::vector<uint32_t> palette{};  // 0xRRGGBB
    bool transparency = false;
    bool interlaced = false;
};
Bytes EncodePng(const PngSpec& spec);
// The sample value EncodePng writes at (x, y) for channel c, before scaling to the bit depth.
uint8_t PngSample(int x, int y, int c);

// A BMF_JPEG or BMF_PNG source surface over a copy of `file`, declaring `size`.
class CompressedSource {
  public:
    CompressedSource(ULONG format, std::span<const uint8_t> file, SIZEL size);
    ~CompressedSource();
    CompressedSource(const CompressedSource&) = delete;
    CompressedSource& operator=(const CompressedSource&) = delete;
    SURFOBJ* so() const { return so_; }

  private:
    HSURF handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};

// The operators in `spooled`; a test failure when the bytes do not read.
std::vector<xlr::reader::Operator> Operators(const std::string& spooled);
// Operator tags in order.
std::vector<uint8_t> Tags(const std::vector<xlr::reader::Operator>& ops);
// The integer value of an attribute of an operator (element i), or -1 without it.
int64_t AttributeValue(const xlr::reader::Operator& op, uint16_t id, size_t i = 0);

// A 24-bit pixel of a surface at (x, y) as 0xRRGGBB, read through its own fields.
uint32_t PixelAt(const SURFOBJ* so, LONG x, LONG y);

}  // namespace imagetest
