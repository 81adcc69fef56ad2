// Bit-block transfers of the engine: EngCopyBits, EngBitBlt with ROP3s over every
// uncompressed format, and EngEraseSurface.
#include <cstring>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

struct BlitCall {
    SURFOBJ* dst;
    SURFOBJ* src;
    CLIPOBJ* pco;
    XLATEOBJ* pxlo;
    const RECTL* dstRect;
    const POINTL* srcPoint;
    BRUSHOBJ* brush;
    BYTE rop;
};

LONG ClampToLong(int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL Blit(const BlitCall& call, bool copyBits) {
    if (call.dst == nullptr || call.dstRect == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    const bool usesSource = RopUsesSource(call.rop);
    const bool usesPattern = RopUsesPattern(call.rop);
    const bool usesDest = RopUsesDestination(call.rop);

    const RECTL target = Ordered(*call.dstRect);
    RECTL area = target;
    PixelView src;
    POINTL srcOrigin{0, 0};
    if (usesSource) {
        // The engine reads only bitmaps: not a device's surface, not JPEG or PNG data.
        if (!ViewOf(call.src, src))
            return Fail(call.src == nullptr ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
        if (call.srcPoint != nullptr) srcOrigin = *call.srcPoint;
        // Only the part of the target whose source lies inside the source bitmap.
        const int64_t dx = int64_t{target.left} - srcOrigin.x;
        const int64_t dy = int64_t{target.top} - srcOrigin.y;
        area = Intersect(area, RECTL{ClampToLong(dx), ClampToLong(dy), ClampToLong(dx + src.cx),
                                     ClampToLong(dy + src.cy)});
    }
    ULONG pattern = 0;
    if (usesPattern) {
        if (call.brush == nullptr || call.brush->iSolidColor == 0xFFFFFFFF) {
            return Fail(ERROR_NOT_SUPPORTED);  // pattern brushes are not realised here
        }
        pattern = call.brush->iSolidColor;
    }

    DrawTarget out;
    if (!out.Open(call.dst, call.pco, area, copyBits, usesDest)) return FALSE;
    const PixelView& canvas = out.Canvas();
    const Translator translate(call.pxlo, usesSource ? src.format : 0, canvas.format);
    const LONG ox = out.OffsetX(), oy = out.OffsetY();
    const int64_t sx0 = int64_t{srcOrigin.x} - target.left;
    const int64_t sy0 = int64_t{srcOrigin.y} - target.top;

    // Copying inside one bitmap to a lower place: go bottom-up so that rows are read
    // before they are overwritten (each row is read whole before it is written).
    const bool bottomUp = usesSource && src.scan0 == canvas.scan0 && sy0 < 0;
    const ULONG bits = BitsPerPixel(canvas.format);
    const bool plainCopy =
        call.rop == 0xCC && translate.IsIdentity() && src.format == canvas.format && bits >= 8;
    std::vector<ULONG> row;
    for (const RECTL& r : out.Rects()) {
        const LONG width = r.right - r.left;
        row.resize(usesSource ? width : 0);
        for (LONG i = 0; i < r.bottom - r.top; ++i) {
            const LONG y = bottomUp ? r.bottom - 1 - i : r.top + i;
            const LONG sy = static_cast<LONG>(y + sy0);
            if (plainCopy) {
                // The values go through unchanged.
                const size_t pixelBytes = bits / 8;
                BYTE* dstRow =
                    canvas.Row(y + oy) + static_cast<ptrdiff_t>(r.left + ox) * pixelBytes;
                const BYTE* srcRow = src.Row(sy) + (r.left + sx0) * pixelBytes;
                std::memmove(dstRow, srcRow, static_cast<size_t>(width) * pixelBytes);
                continue;
            }
            if (usesSource) {
                for (LONG x = 0; x < width; ++x) {
                    row[x] = translate(ReadPixel(src, static_cast<LONG>(r.left + x + sx0), sy));
                }
            }
            for (LONG x = 0; x < width; ++x) {
                const LONG cx = r.left + x + ox, cy = y + oy;
                const ULONG s = usesSource ? row[x] : 0;
                const ULONG d = usesDest ? ReadPixel(canvas, cx, cy) : 0;
                WritePixel(canvas, cx, cy, Rop3(call.rop, pattern, s, d));
            }
        }
    }
    return out.Close();
}

}  // namespace
}  // namespace xlplatform::engine

using namespace xlplatform::engine;

extern "C" {

BOOL APIENTRY EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                          RECTL* prclDest, POINTL* pptlSrc) {
    if (psoSrc == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    return Blit(BlitCall{psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc, nullptr, 0xCC}, true);
}

// Without a mask the foreground ROP3 (low byte) applies everywhere; masks are not
// supported and fail the call.
BOOL APIENTRY EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL*, BRUSHOBJ* pbo,
                        POINTL*, ROP4 rop4) {
    if (psoMask != nullptr) return Fail(ERROR_NOT_SUPPORTED);
    const BYTE rop = static_cast<BYTE>(rop4 & 0xFF);
    return Blit(BlitCall{psoTrg, psoSrc, pco, pxlo, prclTrg, pptlSrc, pbo, rop}, false);
}

BOOL APIENTRY EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor) {
    if (pso == nullptr || prcl == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    BRUSHOBJ brush{iColor, nullptr, 0};
    return Blit(BlitCall{pso, nullptr, nullptr, nullptr, prcl, nullptr, &brush, 0xF0}, true);
}

}  // extern "C"
