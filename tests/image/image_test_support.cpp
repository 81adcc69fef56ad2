#include "image/image_test_support.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>
#include <xlplatform/engine.h>

namespace imagetest {
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

void PhotoPixel(int x, int y, int width, int height, unsigned seed, uint8_t rgb[3]) {
    const double u = double(x) / width, v = double(y) / height;
    const double r = 128 + 90 * std::sin(6.0 * u + seed) * std::cos(3.0 * v);
    const double g = 120 + 80 * std::cos(5.0 * v + 0.5 * seed) + 30 * u;
    const double b = 110 + 70 * std::sin(4.0 * (u + v)) - 20 * v;
    rgb[0] = Clamp8(r + Texture(seed, x, y));
    rgb[1] = Clamp8(g + Texture(seed + 7, x, y));
    rgb[2] = Clamp8(b + Texture(seed + 13, x, y));
}

void PngWrite(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}

int ChannelsOf(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE:
            return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        default:
            return 4;
    }
}

}  // namespace

void FillPhotoLike(const enginetest::Bitmap& bitmap, unsigned seed) {
    const SURFOBJ* so = bitmap.so();
    for (LONG y = 0; y < so->sizlBitmap.cy; ++y) {
        for (LONG x = 0; x < so->sizlBitmap.cx; ++x) {
            uint8_t rgb[3];
            PhotoPixel(x, y, so->sizlBitmap.cx, so->sizlBitmap.cy, seed, rgb);
            bitmap.SetRgb(x, y, (ULONG{rgb[0]} << 16) | (ULONG{rgb[1]} << 8) | rgb[2]);
        }
    }
}

void FillStripes(const enginetest::Bitmap& bitmap) {
    for (LONG y = 0; y < bitmap.so()->sizlBitmap.cy; ++y)
        for (LONG x = 0; x < bitmap.so()->sizlBitmap.cx; ++x)
            bitmap.SetRgb(x, y, (x % 2) != 0 ? 0xFFFFFF : 0);
}

RgbImage PhotoLikeRgb(int width, int height, unsigned seed) {
    RgbImage image{width, height, Bytes(size_t(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            PhotoPixel(x, y, width, height, seed, &image.rgb[(size_t(y) * width + x) * 3]);
    return image;
}

RgbImage RgbOf(const enginetest::Bitmap& bitmap, const RECTL& rect) {
    RgbImage image{rect.right - rect.left, rect.bottom - rect.top, {}};
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        for (LONG x = rect.left; x < rect.right; ++x) {
            const ULONG rgb = bitmap.Rgb(x, y);
            image.rgb.push_back(uint8_t(rgb >> 16));
            image.rgb.push_back(uint8_t(rgb >> 8));
            image.rgb.push_back(uint8_t(rgb));
        }
    }
    return image;
}

// Test images are valid: libjpeg's own error handler (which ends the program) is enough.
Bytes EncodeJpeg(const RgbImage& image, JpegOptions options) {
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
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&cinfo);
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
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (uint32_t c : spec.palette)
        palette.push_back(png_color{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_byte alpha[1] = {0};
    png_color_16 transparentColor{};
    if (spec.transparency) {
        if (spec.colorType == PNG_COLOR_TYPE_PALETTE)
            png_set_tRNS(png, info, alpha, 1, nullptr);
        else
            png_set_tRNS(png, info, nullptr, 0, &transparentColor);
    }
    png_write_info(png, info);
    const int channels = ChannelsOf(spec.colorType);
    const int maxValue = (1 << spec.bitDepth) - 1;
    const size_t rowBytes = (size_t(spec.width) * channels * spec.bitDepth + 7) / 8;
    std::vector<Bytes> rows(spec.height, Bytes(rowBytes, 0));
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            for (int c = 0; c < channels; ++c) {
                unsigned v = PngSample(x, y, c);
                if (spec.colorType == PNG_COLOR_TYPE_PALETTE)
                    v %= unsigned(std::max<size_t>(spec.palette.size(), 1));
                else if (spec.bitDepth < 8)
                    v = v * maxValue / 255;
                else if (spec.bitDepth == 16)
                    v = v * 257;
                const size_t bitIndex = (size_t(x) * channels + c) * spec.bitDepth;
                if (spec.bitDepth == 16) {
                    rows[y][bitIndex / 8] = uint8_t(v >> 8);
                    rows[y][bitIndex / 8 + 1] = uint8_t(v);
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

CompressedSource::CompressedSource(ULONG format, std::span<const uint8_t> file, SIZEL size) {
    handle_ = xlplatform::CreateCompressedSurface(format, file, size);
    so_ = handle_ != nullptr ? EngLockSurface(handle_) : nullptr;
}

CompressedSource::~CompressedSource() {
    if (so_ != nullptr) EngUnlockSurface(so_);
    if (handle_ != nullptr) EngDeleteSurface(handle_);
}

std::vector<xlr::reader::Operator> Operators(const std::string& spooled) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(spooled.data());
    auto result = xlr::reader::ReadOperators(std::span<const uint8_t>(bytes, spooled.size()), 0);
    if (auto* error = std::get_if<xlr::reader::ReadError>(&result)) {
        ADD_FAILURE() << "PCL XL does not read at " << error->offset << ": " << error->message;
        return {};
    }
    return std::get<std::vector<xlr::reader::Operator>>(std::move(result));
}

std::vector<uint8_t> Tags(const std::vector<xlr::reader::Operator>& ops) {
    std::vector<uint8_t> tags;
    for (const auto& op : ops) tags.push_back(op.tag);
    return tags;
}

int64_t AttributeValue(const xlr::reader::Operator& op, uint16_t id, size_t i) {
    const xlr::reader::Attribute* attribute = op.Find(id);
    return attribute != nullptr && i < attribute->value.count ? attribute->value.Integer(i) : -1;
}

uint32_t PixelAt(const SURFOBJ* so, LONG x, LONG y) {
    const auto* p = static_cast<const uint8_t*>(so->pvScan0) + ptrdiff_t{so->lDelta} * y + 3 * x;
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

}  // namespace imagetest
