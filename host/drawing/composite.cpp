// Transfers that leave some source pixels off the page: transparent blits (one
// colour of the source does not mark) and alpha blends (over white paper, since
// the printer's page cannot be read back). Both stretch like DrvStretchBlt; the
// printer scales the image and its mask alike.
#include <algorithm>
#include <cstring>
#include <vector>

#include "host/drawing/blit_geometry.h"
#include "host/drawing/output/drawing_output.h"
#include "host/drawing/output/raster_image.h"
#include "host/drawing/source_bitmap.h"
#include "host/drawing/functions.h"

namespace xlhost {
namespace {

// The transparency operations of a BLENDFUNCTION.
constexpr BYTE AC_SRC_OVER = 0x00;
constexpr BYTE AC_SRC_ALPHA = 0x01;

void SetMaskBit(uint8_t* mask, uint32_t x) {
    mask[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
}

struct SourceTransfer {
    DrawingTarget target;
    SourceBitmap bitmap;
    ImagePlan plan;
};

// Everything before the pixels: device, clip, source and where it lands. Returns
// TRUE with an empty map when nothing lands on the page, FALSE with the last error
// set for bad arguments.
BOOL PrepareTransfer(SURFOBJ* dst, SURFOBJ* src, CLIPOBJ* pco, const RECTL* dstRect,
                     const RECTL* srcRect, SourceTransfer& transfer) {
    if (dst == nullptr || src == nullptr || dstRect == nullptr || srcRect == nullptr)
        return FailCall(ERROR_INVALID_PARAMETER);
    if (!OpenTarget(dst, pco, transfer.target)) return FALSE;
    if (!transfer.bitmap.Open(src)) return FailCall(ERROR_NOT_SUPPORTED);
    if (transfer.target.clip.Empty()) return TRUE;
    const BlitMap map =
        MapBlit(*srcRect, *dstRect, SIZEL{transfer.bitmap.Width(), transfer.bitmap.Height()},
                transfer.target.clip.bounds);
    transfer.plan = PlanImage(map, transfer.target.clip.bounds);
    return TRUE;
}

// Sends the transfer's pixels through `pixel`, which turns a source value into
// the colour to print and says whether the pixel marks at all. When every pixel
// marks, one plain image; otherwise an image with its mask.
template <typename PixelFn>
BOOL SendWithMask(const SourceTransfer& transfer, bool everyPixelMarks, PixelFn pixel) {
    const ImagePlan& plan = transfer.plan;
    const SourceBitmap& bitmap = transfer.bitmap;
    const RasterImage image = PlacedImage(plan, RasterFormat::Rgb24);
    const std::vector<LONG> columns = SourceIndices(plan.x);
    const auto fill = [&](uint32_t row, uint8_t* rgb, uint8_t* mask) {
        const LONG y = static_cast<LONG>(plan.y.Source(row));
        for (uint32_t k = 0; k < image.width; ++k) {
            Rgb color;
            if (pixel(bitmap.Pixel(columns[k], y), color)) {
                std::memcpy(rgb + 3 * size_t{k}, &color, 3);
                if (mask != nullptr) SetMaskBit(mask, k);
            }
        }
    };
    DrawingOutput out(transfer.target.device);
    if (!out.Ok()) return FALSE;
    WriteDrawingState(out.Stream(), transfer.target.clip, 0xCC);
    const bool sent =
        everyPixelMarks
            ? WriteRasterImage(out.Stream(), image,
                               [&](uint32_t row, uint8_t* rgb) { fill(row, rgb, nullptr); })
            : WriteMaskedImage(out.Stream(), image, fill);
    return out.Close(sent);
}

// True when some source pixel of the image passes `test`.
template <typename Test>
bool AnySourcePixel(const SourceTransfer& transfer, Test test) {
    const std::vector<LONG> columns = SourceIndices(transfer.plan.x);
    for (int64_t row = 0; row < transfer.plan.y.count; ++row) {
        const auto y = static_cast<LONG>(transfer.plan.y.Source(row));
        for (LONG x : columns)
            if (test(transfer.bitmap.Pixel(x, y))) return true;
    }
    return false;
}

uint8_t Blend(uint32_t numerator) {
    return static_cast<uint8_t>(std::min<uint32_t>(255, (numerator + 127) / 255));
}

}  // namespace

static_assert(sizeof(Rgb) == 3);

BOOL DrvTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                       RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor, ULONG /*ulReserved*/) {
    return GuardedCall([&] {
        SourceTransfer transfer;
        if (!PrepareTransfer(psoDst, psoSrc, pco, prclDst, prclSrc, transfer)) return FALSE;
        if (transfer.plan.Empty()) return TRUE;
        const SourceColors colors(transfer.bitmap.Format(), pxlo);
        const bool anyTransparent =
            AnySourcePixel(transfer, [&](ULONG v) { return v == iTransColor; });
        return SendWithMask(transfer, !anyTransparent, [&](ULONG value, Rgb& color) {
            if (value == iTransColor) return false;
            color = colors(value);
            return true;
        });
    });
}

BOOL DrvAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                   RECTL* prclSrc, BLENDOBJ* pBlendObj) {
    return GuardedCall([&] {
        if (pBlendObj == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
        const BLENDFUNCTION blend = pBlendObj->BlendFunction;
        const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
        if (blend.BlendOp != AC_SRC_OVER ||
            (perPixel && psoSrc != nullptr && psoSrc->iBitmapFormat != BMF_32BPP))
            return FailCall(ERROR_INVALID_PARAMETER);
        SourceTransfer transfer;
        if (!PrepareTransfer(psoDest, psoSrc, pco, prclDest, prclSrc, transfer)) return FALSE;
        const uint32_t constant = blend.SourceConstantAlpha;
        if (transfer.plan.Empty() || constant == 0) return TRUE;
        const SourceColors colors(transfer.bitmap.Format(), pxlo);
        const auto alphaOf = [&](ULONG value) { return perPixel ? (value >> 24) & 0xFF : 255u; };
        const bool anyClear =
            perPixel && AnySourcePixel(transfer, [&](ULONG v) { return alphaOf(v) == 0; });
        return SendWithMask(transfer, !anyClear, [&](ULONG value, Rgb& color) {
            // Per-pixel alpha comes with colours already multiplied by it.
            const uint32_t alpha = alphaOf(value) * constant;  // 0 .. 255 * 255
            if (alpha == 0) return false;
            const Rgb c = colors(value);
            const uint32_t paper = 255 * 255 - alpha;  // white's share, times 255
            const auto channel = [&](uint8_t v) { return Blend(v * constant + paper); };
            color = Rgb{channel(c.r), channel(c.g), channel(c.b)};
            return true;
        });
    });
}

}  // namespace xlhost
