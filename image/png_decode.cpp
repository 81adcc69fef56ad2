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
    int bitsPerPixel = 0;
    const bool transformed = PngGuarded(png, [&] {
        AskForBgr(png, info, header);
        png_read_update_info(png, info);
        png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType,
                     &header.interlace, nullptr, nullptr);
        rowBytes = png_get_rowbytes(png, info);
        bitsPerPixel = png_get_channels(png, info) * header.bitDepth;
    });
    // Only opaque RGB is drawn; an alpha channel that stayed has no place in a 24-bit surface.
    if (!transformed || bitsPerPixel != 24) return false;

    const uint64_t stride = (uint64_t{rowBytes} + 3) / 4 * 4;
    const uint64_t bytes = stride * header.height;
    if (header.width == 0 || header.height == 0 || bytes > kMaxDecodedBytes ||
        header.width > 0x7FFFFFFF)
        return false;
    auto* pixels = static_cast<BYTE*>(std::calloc(1, static_cast<size_t>(bytes)));
    if (pixels == nullptr) return false;
    const auto width = static_cast<LONG>(header.width);
    const auto height = static_cast<LONG>(header.height);
    if (!HoldBottomUpBitmap(holder, pixels, static_cast<size_t>(bytes), width, height,
                            static_cast<LONG>(stride), source->hdev))
        return false;

    // PNG rows run from the top; the bitmap's first row in memory is its bottom.
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 i = 0; i < header.height; ++i)
        rows[i] = pixels + stride * (header.height - 1 - i);
    png_bytepp rowPointers = rows.data();
    const bool read = PngGuarded(png, [&] {
        png_read_image(png, rowPointers);
        png_read_end(png, nullptr);
    });
    if (!read) {
        ReleaseDecoded(holder);
        return false;
    }
    *decoded = holder.surface;
    if (width != source->sizlBitmap.cx || height != source->sizlBitmap.cy)
        return ResizeDecoded(holder, source, decoded);
    return true;
}

}  // namespace xlr
