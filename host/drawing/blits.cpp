// Bit-block transfers: copies, ROP3 blits and stretches. A transfer that uses its
// source goes out as a raster image of the part of the source that lands inside
// the clip; one that does not is a filled rectangle. JPEG and PNG sources are
// decoded first.
#include "host/drawing/blit_geometry.h"
#include "host/drawing/output/geometry.h"
#include "host/drawing/output/drawing_output.h"
#include "host/drawing/output/rops.h"
#include "host/images/image_file.h"
#include "host/drawing/output/raster_image.h"
#include "host/drawing/source_bitmap.h"
#include "host/drawing/functions.h"
#include "host/drawing/output/graphics_state.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"

namespace xlhost {
namespace {

struct Blit;
BOOL Transfer(const Blit& call);

struct Blit {
    SURFOBJ* target = nullptr;
    SURFOBJ* source = nullptr;
    SURFOBJ* mask = nullptr;
    CLIPOBJ* clip = nullptr;
    XLATEOBJ* xlate = nullptr;
    const RECTL* dst = nullptr;
    const RECTL* src = nullptr;         // stretches: the source rectangle
    const POINTL* srcOrigin = nullptr;  // other transfers: where the source starts
    bool stretch = false;
    BRUSHOBJ* brush = nullptr;
    ROP4 rop4 = 0;
};

// The brush of a ROP3 that uses a pattern must be a solid colour; for one that
// does not, any colour serves (PCL XL paints nothing with a null brush).
bool BrushFor(uint8_t rop3, BRUSHOBJ* brush, Rgb& color) {
    if (!RopUsesPattern(rop3)) {
        color = kBlack;
        return true;
    }
    const auto solid = SolidColor(brush);
    if (!solid) return false;
    color = *solid;
    return true;
}

BOOL FillRectangle(const DrawingTarget& target, const RECTL& rect, uint8_t rop3, Rgb color) {
    const RECTL area = IntersectRects(OrderedRect(rect), target.clip.bounds);
    if (IsEmptyRect(area)) return TRUE;
    DrawingOutput out(target.device);
    if (!out.Ok()) return FALSE;
    xlr::XLStream* stream = out.Stream();
    WriteDrawingState(stream, target.clip, rop3);
    xlr::XLSetColorSpace(stream, xlr::xlenum::eRGB);
    XLSetBrushRgb(stream, color);
    xlr::XLSetNullPen(stream);
    xlr::XLNewPath(stream);
    xlr::XLRectanglePath(stream, area.left, area.top, area.right, area.bottom);
    xlr::XLPaintPath(stream);
    return out.Close();
}

BOOL SendSource(const DrawingTarget& target, const Blit& call, uint8_t rop3) {
    if (call.stretch && call.src == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
    SourceBitmap bitmap;
    if (!bitmap.Open(call.source))
        return FailCall(call.source == nullptr ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
    const SIZEL size{bitmap.Width(), bitmap.Height()};
    const BlitMap map = call.stretch
                            ? MapBlit(*call.src, *call.dst, size, target.clip.bounds)
                            : MapUnstretched(call.srcOrigin, *call.dst, size, target.clip.bounds);
    const ImagePlan plan = PlanImage(map, target.clip.bounds);
    if (plan.Empty()) return TRUE;

    const bool mono = bitmap.Format() == BMF_1BPP;
    const SourceColors colors(bitmap.Format(), call.xlate);
    RasterImage image = PlacedImage(plan, mono ? RasterFormat::Indexed1 : RasterFormat::Rgb24);
    if (mono) image.palette = colors.MonoPalette();
    if (RopUsesPattern(rop3)) {
        Rgb color;
        if (!BrushFor(rop3, call.brush, color)) return FailCall(ERROR_NOT_SUPPORTED);
        image.brush = color;
    }
    // A run of the source goes out as it is; a sampled axis picks its columns one by one.
    const std::vector<LONG> columns = plan.x.sampled ? SourceIndices(plan.x) : std::vector<LONG>{};
    const LONG first = static_cast<LONG>(plan.x.map.FirstSource());
    const LONG count = static_cast<LONG>(plan.x.count);

    DrawingOutput out(target.device);
    if (!out.Ok()) return FALSE;
    WriteDrawingState(out.Stream(), target.clip, rop3);
    const bool sent = WriteRasterImage(out.Stream(), image, [&](uint32_t row, uint8_t* bytes) {
        const LONG y = static_cast<LONG>(plan.y.Source(row));
        if (!columns.empty()) {
            for (LONG i = 0; i < count; ++i) {
                const ULONG value = bitmap.Pixel(columns[i], y);
                if (mono) {
                    if (value != 0) bytes[i >> 3] |= static_cast<uint8_t>(0x80 >> (i & 7));
                } else {
                    const Rgb c = colors(value);
                    bytes[3 * i] = c.r;
                    bytes[3 * i + 1] = c.g;
                    bytes[3 * i + 2] = c.b;
                }
            }
        } else if (mono) {
            CopyMonoRow(bitmap, y, first, count, plan.x.map.mirrored, bytes);
        } else {
            colors.ToRgb(bitmap, y, first, count, plan.x.map.mirrored, bytes);
        }
    });
    return out.Close(sent);
}

// A JPEG or PNG source (its bits are the file, its size the size it is to have)
// is drawn from its decoded pixels: the call becomes a stretch from the
// corresponding rectangle of the decoded image.
BOOL TransferCompressed(const Blit& call) {
    if (call.dst == nullptr || (call.stretch ? call.src == nullptr : call.srcOrigin == nullptr))
        return FailCall(ERROR_INVALID_PARAMETER);
    const SURFOBJ& compressed = *call.source;
    if (compressed.pvBits == nullptr || compressed.cjBits == 0 || compressed.sizlBitmap.cx <= 0 ||
        compressed.sizlBitmap.cy <= 0)
        return FailCall(ERROR_INVALID_PARAMETER);
    const auto* bytes = static_cast<const uint8_t*>(compressed.pvBits);
    auto identified =
        IdentifyImage(std::vector<uint8_t>(bytes, bytes + compressed.cjBits), "source");
    if (std::holds_alternative<std::string>(identified)) return FailCall(ERROR_INVALID_DATA);
    auto decodedResult = DecodeImage(std::get<ImageSource>(identified));
    if (std::holds_alternative<std::string>(decodedResult)) return FailCall(ERROR_INVALID_DATA);
    DecodedImage& decoded = std::get<DecodedImage>(decodedResult);

    const SIZEL size{static_cast<LONG>(decoded.width), static_cast<LONG>(decoded.height)};
    HBITMAP bitmap =
        EngCreateBitmap(size, static_cast<LONG>(decoded.stride), BMF_24BPP, 0, decoded.bits.data());
    if (bitmap == nullptr) return FailCall(ERROR_NOT_ENOUGH_MEMORY);
    SURFOBJ* source = EngLockSurface(reinterpret_cast<HSURF>(bitmap));
    if (source == nullptr) {
        EngDeleteSurface(reinterpret_cast<HSURF>(bitmap));
        return FailCall(ERROR_NOT_ENOUGH_MEMORY);
    }
    RECTL declared = call.stretch ? *call.src
                                  : RECTL{call.srcOrigin->x, call.srcOrigin->y,
                                          call.srcOrigin->x + (call.dst->right - call.dst->left),
                                          call.srcOrigin->y + (call.dst->bottom - call.dst->top)};
    auto scale = [](LONG value, LONG from, LONG to) {
        return static_cast<LONG>(static_cast<int64_t>(value) * to / from);
    };
    RECTL pixels{scale(declared.left, compressed.sizlBitmap.cx, size.cx),
                 scale(declared.top, compressed.sizlBitmap.cy, size.cy),
                 scale(declared.right, compressed.sizlBitmap.cx, size.cx),
                 scale(declared.bottom, compressed.sizlBitmap.cy, size.cy)};
    Blit decodedCall = call;
    decodedCall.source = source;
    decodedCall.src = &pixels;
    decodedCall.stretch = true;
    decodedCall.xlate = nullptr;  // the decoded pixels are already RGB
    const BOOL result = Transfer(decodedCall);
    EngUnlockSurface(source);
    EngDeleteSurface(reinterpret_cast<HSURF>(bitmap));
    return result;
}

BOOL Transfer(const Blit& call) {
    if (call.target == nullptr || call.dst == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
    if (call.source != nullptr &&
        (call.source->iBitmapFormat == BMF_JPEG || call.source->iBitmapFormat == BMF_PNG))
        return TransferCompressed(call);
    const uint8_t rop3 = static_cast<uint8_t>(call.rop4 & 0xFF);
    const uint8_t background = static_cast<uint8_t>((call.rop4 >> 8) & 0xFF);
    // A mask chooses between two ROP3s pixel by pixel; the page has no such operation.
    if (call.mask != nullptr && background != rop3) return FailCall(ERROR_NOT_SUPPORTED);
    DrawingTarget target;
    if (!OpenTarget(call.target, call.clip, target)) return FALSE;
    if (target.clip.Empty() || rop3 == kRopDestination) return TRUE;
    if (RopUsesSource(rop3)) return SendSource(target, call, rop3);
    Rgb color;
    if (!BrushFor(rop3, call.brush, color)) return FailCall(ERROR_NOT_SUPPORTED);
    return FillRectangle(target, *call.dst, rop3, color);
}

}  // namespace

BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                 POINTL* pptlSrc) {
    return GuardedCall([&] {
        if (psoSrc == nullptr || pptlSrc == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
        Blit call;
        call.target = psoDest;
        call.source = psoSrc;
        call.clip = pco;
        call.xlate = pxlo;
        call.dst = prclDest;
        call.srcOrigin = pptlSrc;
        call.rop4 = 0xCCCC;
        return Transfer(call);
    });
}

BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
               RECTL* prclTrg, POINTL* pptlSrc, POINTL* /*pptlMask*/, BRUSHOBJ* pbo,
               POINTL* /*pptlBrush*/, ROP4 rop4) {
    return GuardedCall([&] {
        Blit call;
        call.target = psoTrg;
        call.source = psoSrc;
        call.mask = psoMask;
        call.clip = pco;
        call.xlate = pxlo;
        call.dst = prclTrg;
        call.srcOrigin = pptlSrc;
        call.brush = pbo;
        call.rop4 = rop4;
        return Transfer(call);
    });
}

BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                   XLATEOBJ* pxlo, COLORADJUSTMENT* /*pca*/, POINTL* /*pptlHTOrg*/, RECTL* prclDest,
                   RECTL* prclSrc, POINTL* /*pptlMask*/, ULONG /*iMode*/) {
    return GuardedCall([&] {
        if (psoSrc == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
        if (psoMask != nullptr) return FailCall(ERROR_NOT_SUPPORTED);
        Blit call;
        call.target = psoDest;
        call.source = psoSrc;
        call.clip = pco;
        call.xlate = pxlo;
        call.dst = prclDest;
        call.src = prclSrc;
        call.stretch = true;
        call.rop4 = 0xCCCC;
        return Transfer(call);
    });
}

BOOL DrvStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                      XLATEOBJ* pxlo, COLORADJUSTMENT* /*pca*/, POINTL* /*pptlHTOrg*/,
                      RECTL* prclDest, RECTL* prclSrc, POINTL* /*pptlMask*/, ULONG /*iMode*/,
                      BRUSHOBJ* pbo, DWORD rop4) {
    return GuardedCall([&] {
        Blit call;
        call.target = psoDest;
        call.source = psoSrc;
        call.mask = psoMask;
        call.clip = pco;
        call.xlate = pxlo;
        call.dst = prclDest;
        call.src = prclSrc;
        call.stretch = true;
        call.brush = pbo;
        call.rop4 = rop4;
        return Transfer(call);
    });
}

}  // namespace xlhost
