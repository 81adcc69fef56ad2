#include "support/test_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include <jpeglib.h>
#include <png.h>
#include <xlplatform/engine.h>
#include <zlib.h>

namespace xltest {
namespace {

uint8_t Clamp8(double v) {
    return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

// Deterministic texture in [-2, 2].
int Texture(unsigned seed, int x, int y) {
    uint32_t h = seed * 2654435761u ^ static_cast<uint32_t>(x) * 40503u ^
                 static_cast<uint32_t>(y) * 2246822519u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<int>(h % 5) - 2;
}

uint32_t PhotoPixel(int x, int y, int width, int height, unsigned seed) {
    const double u = double(x) / width, v = double(y) / height;
    const double r = 128 + 90 * std::sin(6.0 * u + seed) * std::cos(3.0 * v);
    const double g = 120 + 80 * std::cos(5.0 * v + 0.5 * seed) + 30 * u;
    const double b = 110 + 70 * std::sin(4.0 * (u + v)) - 20 * v;
    return uint32_t{Clamp8(r + Texture(seed, x, y))} << 16 |
           uint32_t{Clamp8(g + Texture(seed + 7, x, y))} << 8 |
           Clamp8(b + Texture(seed + 13, x, y));
}

void PutBigEndian32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = uint8_t(value >> (24 - 8 * i));
}

int ChannelsOf(int colorType) {
    constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};  // by PNG colour type
    return kChannels[colorType];
}

}  // namespace

uint32_t RgbImage::At(int x, int y) const {
    const uint8_t* p = &rgb.at((size_t(y) * width + x) * 3);
    return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

RgbImage MakeRgb(int width, int height, const std::function<uint32_t(int x, int y)>& pixel) {
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, y);
            image.rgb.insert(image.rgb.end(),
                             {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
        }
    }
    return image;
}

RgbImage PhotoLikeRgb(int width, int height, unsigned seed) {
    return MakeRgb(width, height,
                   [&](int x, int y) { return PhotoPixel(x, y, width, height, seed); });
}

Bytes EncodeJpeg(const RgbImage& image, int quality, bool progressive) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = image.width;
    cinfo.image_height = image.height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<uint8_t*>(&image.rgb[size_t(cinfo.next_scanline) * image.width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

RgbImage DecodeJpegFile(std::span<const uint8_t> jpeg) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr error{};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    RgbImage image{int(cinfo.output_width), int(cinfo.output_height), {}};
    image.rgb.resize(size_t(image.width) * image.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &image.rgb[size_t(cinfo.output_scanline) * image.width * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return image;
}

double Psnr(const RgbImage& a, const RgbImage& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    const double mse = sum / double(a.rgb.size());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

Bytes EncodePpm(const RgbImage& image) {
    const std::string header =
        "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), image.rgb.begin(), image.rgb.end());
    return bytes;
}

void WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint8_t PngSample(int x, int y, int c) {
    return uint8_t(x * 37 + y * 11 + c * 90);
}

Bytes EncodePng(const PngSpec& spec) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test image";
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t length) {
            auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
            bytes->insert(bytes->end(), data, data + length);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (uint32_t c : spec.palette)
        palette.push_back(png_color{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_byte alpha[1] = {0};
    png_color_16 transparentColor{};
    if (spec.transparency && spec.colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_tRNS(png, info, alpha, 1, nullptr);
    else if (spec.transparency)
        png_set_tRNS(png, info, nullptr, 0, &transparentColor);
    png_write_info(png, info);
    const int channels = ChannelsOf(spec.colorType);
    const int maxValue = (1 << spec.bitDepth) - 1;
    const size_t rowBytes = (size_t(spec.width) * channels * spec.bitDepth + 7) / 8;
    std::vector<Bytes> rows(spec.height, Bytes(rowBytes, 0));
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                const size_t sample = (size_t(y) * spec.width + x) * channels + c;
                unsigned v = spec.samples.empty() ? PngSample(x, y, c) : spec.samples.at(sample);
                if (spec.colorType == PNG_COLOR_TYPE_PALETTE)
                    v %= unsigned(std::max<size_t>(spec.palette.size(), 1));
                else if (spec.bitDepth < 8)
                    v = v * maxValue / 255;
                const size_t bitIndex = (size_t(x) * channels + c) * spec.bitDepth;
                if (spec.bitDepth == 16) {
                    rows[y][bitIndex / 8] = rows[y][bitIndex / 8 + 1] = uint8_t(v);  // v * 257
                } else {
                    rows[y][bitIndex / 8] |= uint8_t(v << (8 - spec.bitDepth - bitIndex % 8));
                }
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes EncodeRgbPng(const RgbImage& image) {
    return EncodePng({.width = image.width, .height = image.height, .samples = image.rgb});
}

void SetPngSize(Bytes& png, uint32_t width, uint32_t height) {
    // Signature (8), IHDR length (4) and type (4), width, height, ... CRC of
    // type and data after the 13 data bytes.
    PutBigEndian32(png, 16, width);
    PutBigEndian32(png, 20, height);
    PutBigEndian32(png, 29, uint32_t(crc32(0, &png.at(12), 17)));
}

void SetJpegSize(Bytes& jpeg, uint16_t width, uint16_t height) {
    // SOF0 or SOF2: FF C0/C2, length (2), precision (1), height (2), width (2).
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(height >> 8), jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8), jpeg[i + 8] = uint8_t(width);
            return;
        }
    }
    ADD_FAILURE() << "no frame header in the JPEG";
}

std::vector<DamagedImage> DamagedImages(const Bytes& jpeg, const Bytes& png) {
    std::vector<DamagedImage> cases;
    for (const bool isPng : {true, false}) {
        const Bytes& file = isPng ? png : jpeg;
        const std::string kind = isPng ? "PNG" : "JPEG";
        for (size_t keep : {size_t{isPng ? 8u : 2u}, size_t{isPng ? 33u : 200u}, file.size() / 2,
                            file.size() - (isPng ? 13 : 40)})
            cases.push_back({kind + " cut at " + std::to_string(keep), isPng,
                             Bytes(file.begin(), file.begin() + keep)});
    }
    const auto changed = [&](std::string what, bool isPng, auto change) {
        Bytes data = isPng ? png : jpeg;
        change(data);
        cases.push_back({std::move(what), isPng, std::move(data)});
    };
    changed("PNG with a flipped byte", true, [](Bytes& b) { b[b.size() / 2] ^= 0x55; });
    changed("PNG declaring 30000 x 30000", true, [](Bytes& b) { SetPngSize(b, 30000, 30000); });
    changed("PNG declaring more rows than it holds", true,
            [](Bytes& b) { SetPngSize(b, 64, 4096); });
    changed("JPEG declaring 65500 x 65500", false, [](Bytes& b) { SetJpegSize(b, 65500, 65500); });
    changed("JPEG declaring more than it holds", false,
            [](Bytes& b) { SetJpegSize(b, 4000, 3000); });
    changed("JPEG with scrambled coded data", false,
            [](Bytes& b) { std::fill_n(b.begin() + b.size() / 2, 64, 0xFF); });
    return cases;
}

Bitmap::Bitmap(LONG cx, LONG cy, ULONG format, FLONG flags, LONG stride) {
    handle_ =
        reinterpret_cast<HSURF>(EngCreateBitmap(SIZEL{cx, cy}, stride, format, flags, nullptr));
    so_ = handle_ != nullptr ? EngLockSurface(handle_) : nullptr;
}

Bitmap::~Bitmap() {
    if (so_ != nullptr) EngUnlockSurface(so_);
    if (handle_ != nullptr) EngDeleteSurface(handle_);
}

void Bitmap::Set(LONG x, LONG y, uint32_t value) const {
    BYTE* row = Row(y);
    switch (so_->iBitmapFormat) {
        case BMF_1BPP:
        case BMF_4BPP: {
            const int bits = so_->iBitmapFormat == BMF_1BPP ? 1 : 4;
            const int shift = 8 - bits - (x * bits) % 8;
            const BYTE mask = BYTE(((1 << bits) - 1) << shift);
            BYTE& byte = row[x * bits / 8];
            byte = BYTE((byte & ~mask) | ((value << shift) & mask));
            break;
        }
        default: {
            const size_t bytes = so_->iBitmapFormat == BMF_8BPP    ? 1
                                 : so_->iBitmapFormat == BMF_16BPP ? 2
                                 : so_->iBitmapFormat == BMF_24BPP ? 3
                                                                   : 4;
            for (size_t i = 0; i < bytes; ++i) row[x * bytes + i] = BYTE(value >> (8 * i));
        }
    }
}

uint32_t Bitmap::Rgb(LONG x, LONG y) const {
    return PixelAt(so_, x, y);
}

void Bitmap::Fill(const std::function<uint32_t(LONG x, LONG y)>& pixel) const {
    for (LONG y = 0; y < so_->sizlBitmap.cy; ++y)
        for (LONG x = 0; x < so_->sizlBitmap.cx; ++x) Set(x, y, pixel(x, y));
}

std::vector<uint32_t> Bitmap::Pixels() const {
    return PixelsOf(so_);
}

void Bitmap::SetPixels(const std::vector<uint32_t>& pixels) const {
    const LONG width = so_->sizlBitmap.cx;
    for (size_t i = 0; i < pixels.size(); ++i) Set(LONG(i % width), LONG(i / width), pixels[i]);
}

void FillPhotoLike(const Bitmap& bitmap, unsigned seed) {
    const SIZEL size = bitmap.so()->sizlBitmap;
    bitmap.Fill([&](LONG x, LONG y) { return PhotoPixel(x, y, size.cx, size.cy, seed); });
}

RgbImage RgbOf(const Bitmap& bitmap, const RECTL& rect) {
    return MakeRgb(rect.right - rect.left, rect.bottom - rect.top,
                   [&](int x, int y) { return bitmap.Rgb(rect.left + x, rect.top + y); });
}

uint32_t PixelAt(const SURFOBJ* so, LONG x, LONG y) {
    const auto* p = static_cast<const uint8_t*>(so->pvScan0) + ptrdiff_t{so->lDelta} * y + 3 * x;
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

std::vector<uint32_t> PixelsOf(const SURFOBJ* so) {
    std::vector<uint32_t> pixels;
    for (LONG y = 0; y < so->sizlBitmap.cy; ++y)
        for (LONG x = 0; x < so->sizlBitmap.cx; ++x) pixels.push_back(PixelAt(so, x, y));
    return pixels;
}

CompressedSource::CompressedSource(ULONG format, std::span<const uint8_t> file, SIZEL declared) {
    handle_ = xlplatform::CreateCompressedSurface(format, file, declared);
    so_ = handle_ != nullptr ? EngLockSurface(handle_) : nullptr;
}

CompressedSource::~CompressedSource() {
    if (so_ != nullptr) EngUnlockSurface(so_);
    if (handle_ != nullptr) EngDeleteSurface(handle_);
}

}  // namespace xltest
