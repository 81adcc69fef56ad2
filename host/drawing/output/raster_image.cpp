#include "host/drawing/output/raster_image.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/drawing/output/geometry.h"
#include "host/drawing/output/rops.h"
#include "host/drawing/output/packbits.h"
#include "host/drawing/output/graphics_state.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlhost {

using namespace xlr;

namespace {

// Rows go out in blocks of about this many bytes (at least one row per block).
constexpr size_t kBlockBytes = 128 * 1024;

// Uncompressed rows of PCL XL images end on a 4-byte boundary; run-length
// encoded rows are padded the same way before they are encoded.
size_t PaddedRowBytes(size_t rowBytes) {
    return (rowBytes + 3) & ~size_t{3};
}

bool Writable(const RasterImage& image) {
    const auto side = [](uint32_t v) { return v >= 1 && v <= kMaxImageSide; };
    return side(image.width) && side(image.height) && side(image.destWidth) &&
           side(image.destHeight) && image.x >= kMinXLCoordinate && image.x <= kMaxXLCoordinate &&
           image.y >= kMinXLCoordinate && image.y <= kMaxXLCoordinate;
}

void WriteColorSpace(XLStream* stream, const RasterImage& image) {
    if (image.format == RasterFormat::Rgb24) {
        XLSetColorSpace(stream, xlenum::eRGB);
    } else {
        const uint8_t palette[6] = {image.palette[0].r, image.palette[0].g, image.palette[0].b,
                                    image.palette[1].r, image.palette[1].g, image.palette[1].b};
        XLSetColorSpacePalette(stream, xlenum::eRGB, xlenum::e8Bit, palette, sizeof palette);
    }
    if (image.brush) XLSetBrushRgb(stream, *image.brush);
}

// Encodes the block row by row and gives up as soon as the encoding is no
// shorter than the rows themselves: photographs stop after one row.
size_t EncodeBlock(const uint8_t* rows, size_t stride, uint32_t count, uint8_t* out) {
    size_t packed = 0;
    for (uint32_t r = 0; r < count; ++r) {
        packed += PackBits(rows + r * stride, stride, out + packed);
        if (packed >= (r + 1) * stride) return 0;
    }
    return packed;
}

}  // namespace

size_t RowBytes(RasterFormat format, uint32_t width) {
    return format == RasterFormat::Rgb24 ? size_t{width} * 3 : (size_t{width} + 7) / 8;
}

bool WriteRasterImage(XLStream* stream, const RasterImage& image, const RowSource& rows) {
    if (!Writable(image)) return false;
    const bool indexed = image.format == RasterFormat::Indexed1;
    WriteColorSpace(stream, image);
    XLSetCursor(stream, image.x, image.y);
    XLBeginImage(stream, indexed ? xlenum::eIndexedPixel : xlenum::eDirectPixel,
                 indexed ? xlenum::e1Bit : xlenum::e8Bit, image.width, image.height,
                 image.destWidth, image.destHeight);

    const size_t stride = PaddedRowBytes(RowBytes(image.format, image.width));
    const uint32_t rowsPerBlock =
        static_cast<uint32_t>(std::clamp<size_t>(kBlockBytes / stride, 1, image.height));
    std::vector<uint8_t> block(stride * rowsPerBlock);
    std::vector<uint8_t> packed(PackBitsBound(stride) * rowsPerBlock);
    for (uint32_t start = 0; start < image.height && stream->error == 0; start += rowsPerBlock) {
        const uint32_t count = std::min(rowsPerBlock, image.height - start);
        std::memset(block.data(), 0, stride * count);
        for (uint32_t r = 0; r < count; ++r) rows(start + r, block.data() + r * stride);
        const size_t packedBytes = EncodeBlock(block.data(), stride, count, packed.data());
        const bool rle = packedBytes != 0;
        const uint8_t* data = rle ? packed.data() : block.data();
        const size_t bytes = rle ? packedBytes : stride * count;
        XLReadImage(stream, start, count, rle ? xlenum::eRLECompression : xlenum::eNoCompression);
        XLPutDataLength(stream, static_cast<uint32_t>(bytes));
        XLPutRawBytes(stream, data, static_cast<uint32_t>(bytes));
    }
    XLEndImage(stream);
    return true;
}

bool WriteMaskedImage(XLStream* stream, const RasterImage& image, const MaskedRowSource& rows) {
    if (image.format != RasterFormat::Rgb24 || !Writable(image)) return false;
    std::vector<uint8_t> rgb(RowBytes(RasterFormat::Rgb24, image.width));
    std::vector<uint8_t> mask(RowBytes(RasterFormat::Indexed1, image.width));

    RasterImage maskImage = image;
    maskImage.format = RasterFormat::Indexed1;
    maskImage.palette = {kWhite, kBlack};
    maskImage.brush.reset();
    XLSetSourceTxMode(stream, xlenum::eTransparent);
    XLSetROP(stream, kRopSrcCopy);
    WriteRasterImage(stream, maskImage, [&](uint32_t y, uint8_t* row) {
        std::fill(rgb.begin(), rgb.end(), 0);
        rows(y, rgb.data(), row);
    });

    XLSetSourceTxMode(stream, xlenum::eOpaque);
    XLSetROP(stream, kRopSrcPaint);
    RasterImage colorImage = image;
    colorImage.brush.reset();
    return WriteRasterImage(stream, colorImage, [&](uint32_t y, uint8_t* row) {
        std::fill(mask.begin(), mask.end(), 0);
        rows(y, row, mask.data());
        for (uint32_t x = 0; x < image.width; ++x) {
            if ((mask[x >> 3] & (0x80 >> (x & 7))) == 0) std::memset(row + 3 * size_t{x}, 0, 3);
        }
    });
}

}  // namespace xlhost
