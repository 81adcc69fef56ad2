// Pictures made in code for the image tests: RGB pixels (photo-like or from a
// function), JPEG, PNG and PPM files written with the libraries, headers made to
// lie about their size, engine bitmaps and compressed source surfaces.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <winddi.h>

namespace xltest {

using Bytes = std::vector<uint8_t>;

// RGB pixels, row by row from the top.
struct RgbImage {
    int width = 0;
    int height = 0;
    Bytes rgb;

    uint32_t At(int x, int y) const;  // 0xRRGGBB
};
RgbImage MakeRgb(int width, int height, const std::function<uint32_t(int x, int y)>& pixel);
// Smooth colour gradients with a little texture, as a photograph has.
RgbImage PhotoLikeRgb(int width, int height, unsigned seed = 1);

Bytes EncodeJpeg(const RgbImage& image, int quality = 90, bool progressive = false);
// Decodes with libjpeg (whose own error handler ends the program: test data only).
RgbImage DecodeJpegFile(std::span<const uint8_t> jpeg);
double Psnr(const RgbImage& a, const RgbImage& b);
Bytes EncodePpm(const RgbImage& image);
void WriteFile(const std::string& path, std::span<const uint8_t> bytes);

// A PNG of the colour type and bit depth. Samples are `samples` (8-bit, row by
// row) when given, else PngSample(x, y, c), scaled to the bit depth; palette
// indices are taken modulo the palette's size. `transparency` adds tRNS.
struct PngSpec {
    int width = 8;
    int height = 4;
    int colorType = 2;  // PNG_COLOR_TYPE_RGB
    int bitDepth = 8;
    std::vector<uint32_t> palette{};  // 0xRRGGBB
    bool transparency = false;
    bool interlaced = false;
    Bytes samples{};
};
Bytes EncodePng(const PngSpec& spec);
Bytes EncodeRgbPng(const RgbImage& image);
uint8_t PngSample(int x, int y, int c);

// Headers that declare another size: the PNG's IHDR (with its CRC made right
// again) and the JPEG's first frame header.
void SetPngSize(Bytes& png, uint32_t width, uint32_t height);
void SetJpegSize(Bytes& jpeg, uint16_t width, uint16_t height);

// Truncated, damaged and lying variants of a good JPEG and PNG, each of which a
// decoder must refuse cleanly: cut at several places, with damaged data, or
// declaring a size the data does not hold or an enormous one.
struct DamagedImage {
    std::string what;
    bool isPng = false;
    Bytes data;
};
std::vector<DamagedImage> DamagedImages(const Bytes& jpeg, const Bytes& png);

// An engine bitmap, locked while it lives (`stride` 0: the engine's own).
class Bitmap {
  public:
    Bitmap(LONG cx, LONG cy, ULONG format = BMF_24BPP, FLONG flags = 0, LONG stride = 0);
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    SURFOBJ* so() const { return so_; }
    HSURF handle() const { return handle_; }
    BYTE* Row(LONG y) const {
        return static_cast<BYTE*>(so_->pvScan0) + ptrdiff_t{so_->lDelta} * y;
    }
    // A pixel value in the bitmap's format (24 bits: 0xRRGGBB).
    void Set(LONG x, LONG y, uint32_t value) const;
    uint32_t Rgb(LONG x, LONG y) const;  // of a 24-bit bitmap
    void Fill(const std::function<uint32_t(LONG x, LONG y)>& pixel) const;
    void Fill(uint32_t value) const {
        Fill([value](LONG, LONG) { return value; });
    }
    // Every pixel of a 24-bit bitmap, row by row, as 0xRRGGBB.
    std::vector<uint32_t> Pixels() const;
    void SetPixels(const std::vector<uint32_t>& pixels) const;

  private:
    HSURF handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};
void FillPhotoLike(const Bitmap& bitmap, unsigned seed = 1);
// The 24-bit pixels of a rectangle of a bitmap.
RgbImage RgbOf(const Bitmap& bitmap, const RECTL& rect);
// A 24-bit pixel of any surface as 0xRRGGBB, read through its own fields.
uint32_t PixelAt(const SURFOBJ* so, LONG x, LONG y);
// All of a 24-bit surface's pixels, row by row.
std::vector<uint32_t> PixelsOf(const SURFOBJ* so);

// A BMF_JPEG or BMF_PNG source surface over an exact-size copy of `file`.
class CompressedSource {
  public:
    CompressedSource(ULONG format, std::span<const uint8_t> file, SIZEL declared);
    ~CompressedSource();
    CompressedSource(const CompressedSource&) = delete;
    CompressedSource& operator=(const CompressedSource&) = delete;
    SURFOBJ* so() const { return so_; }

  private:
    HSURF handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};

}  // namespace xltest
