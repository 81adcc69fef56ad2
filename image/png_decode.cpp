#include <cstdlib>
#include <vector>

#include "image/codec/png_reader.h"
#include "image/png_source.h"

namespace xlr {
namespace {

using xlcodec::PngGuarded;
using xlcodec::PngHeader;
using xlcodec::PngReader;
using xlcodec::ReadPngHeader;

constexpr double kScreenGamma = 2.2;

// The transformations to 8-bit blue, green, red, in libpng's order of asking.
void AskForBgr(png_structp png, png_infop info, const PngHeader& header) {
    if (header.colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (header.colorType == PNG_COLOR_TYPE_GRAY && header.bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) png_set_tRNS_to_alpha(png);
    if (header.bitDepth == 16) png_set_strip_16(png);
    if (header.colorType == PNG_COLOR_TYPE_GRAY || header.colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma) != 0) png_set_gamma(png, kScreenGamma, fileGamma);
    png_set_bgr(png);
    png_set_interlace_handling(png);
}

// A row of 8-bit blue, green, red, alpha pixels put over white, as the page
// would show them, into blue, green, red.
void CompositeOverWhite(const png_byte* bgra, png_uint_32 width, BYTE* bgr) {
    for (png_uint_32 x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        const unsigned alpha = bgra[3];
        for (int c = 0; c < 3; ++c)
            bgr[c] = static_cast<BYTE>((bgra[c] * alpha + 255 * (255 - alpha) + 127) / 255);
    }
}

}  // namespace

bool DecodePng(DecodedImage& holder, SURFOBJ* source, SURFOBJ** decoded) {
    if (source == nullptr || decoded == nullptr || source->pvBits == nullptr) return false;
    *decoded = nullptr;
    const auto* data = static_cast<const png_byte*>(source->pvBits);
    const size_t size = source->cjBits;
    if (!IsSupportedPng(data, size)) return false;
    ReleaseDecoded(holder);

    PngReader reader(data, size);
    PngHeader header;
    if (!ReadPngHeader(reader, header) || header.colorType == PNG_COLOR_TYPE_RGB_ALPHA)
        return false;
    if (!xlcodec::PngDataCanHold(header, size)) return false;

    png_structp png = reader.png;
    png_infop info = reader.info;
    size_t rowBytes = 0;
    int channels = 0;
    const bool transformed = PngGuarded(png, [&] {
        AskForBgr(png, info, header);
        png_read_update_info(png, info);
        png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType,
                     &header.interlace, nullptr, nullptr);
        rowBytes = png_get_rowbytes(png, info);
        channels = png_get_channels(png, info);
    });
    // 8-bit blue, green, red, and alpha where the picture has transparency
    // (grey with alpha, a tRNS chunk): that is put over white, as on paper.
    if (!transformed || header.bitDepth != 8 || (channels != 3 && channels != 4) ||
        rowBytes != uint64_t{header.width} * static_cast<unsigned>(channels))
        return false;
    const bool withAlpha = channels == 4;
    const bool interlaced = header.interlace != PNG_INTERLACE_NONE;

    const uint64_t stride = (uint64_t{header.width} * 3 + 3) / 4 * 4;
    const uint64_t bytes = stride * header.height;
    // Alpha pixels go through rows of their own first: one row, or the whole
    // picture when it is interlaced (each pass adds to every row).
    const uint64_t alphaBytes =
        withAlpha ? uint64_t{rowBytes} * (interlaced ? header.height : 1) : 0;
    if (header.width == 0 || header.height == 0 || bytes > kMaxDecodedBytes ||
        alphaBytes > kMaxDecodedBytes || header.width > 0x7FFFFFFF)
        return false;
    auto* pixels = static_cast<BYTE*>(std::calloc(1, static_cast<size_t>(bytes)));
    if (pixels == nullptr) return false;
    if (!HoldBottomUpBitmap(holder, pixels, static_cast<size_t>(bytes),
                            static_cast<LONG>(header.width), static_cast<LONG>(header.height),
                            static_cast<LONG>(stride), source->hdev))
        return false;

    // PNG rows run from the top; the bitmap's first row in memory is its bottom.
    const auto bitmapRow = [&](png_uint_32 i) { return pixels + stride * (header.height - 1 - i); };
    std::vector<png_byte> alphaRows(static_cast<size_t>(alphaBytes));
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 i = 0; i < header.height; ++i)
        rows[i] = withAlpha ? alphaRows.data() + (interlaced ? rowBytes * i : 0) : bitmapRow(i);
    png_bytepp rowPointers = rows.data();
    const png_uint_32 width = header.width;
    const png_uint_32 height = header.height;
    const bool rowByRow = withAlpha && !interlaced;
    const bool read = PngGuarded(png, [&] {
        if (rowByRow) {
            for (png_uint_32 i = 0; i < height; ++i) {
                png_read_row(png, rowPointers[i], nullptr);
                CompositeOverWhite(rowPointers[i], width, bitmapRow(i));
            }
        } else {
            png_read_image(png, rowPointers);
        }
        png_read_end(png, nullptr);
    });
    if (!read) {
        ReleaseDecoded(holder);
        return false;
    }
    if (withAlpha && interlaced)
        for (png_uint_32 i = 0; i < height; ++i)
            CompositeOverWhite(rowPointers[i], width, bitmapRow(i));
    *decoded = holder.surface;
    if (static_cast<LONG>(width) != source->sizlBitmap.cx ||
        static_cast<LONG>(height) != source->sizlBitmap.cy)
        return ResizeDecoded(holder, source, decoded);
    return true;
}

}  // namespace xlr
