// EngPlgBlt: a source rectangle mapped onto a parallelogram. Each destination pixel
// whose centre lies inside takes the source pixel under the same relative place,
// computed in exact integer arithmetic, so that quarter turns and mirrors on whole
// pixels move every pixel exactly.
#include <cmath>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

using Wide = __int128;

Wide FloorDiv(Wide a, Wide b) {  // b > 0
    Wide q = a / b;
    if ((a % b) != 0 && a < 0) --q;
    return q;
}

}  // namespace
}  // namespace xlplatform::engine

using namespace xlplatform::engine;

extern "C" {

// pptfx: where the source's upper-left, upper-right and lower-left corners go
// (28.4); the fourth corner completes the parallelogram. Masks are not supported.
BOOL APIENTRY EngPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, COLORADJUSTMENT*, POINTL*, POINTFIX* pptfx, RECTL* prcl,
                        POINTL*, ULONG iMode) {
    if (psoTrg == nullptr || psoSrc == nullptr || pptfx == nullptr || prcl == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (psoMsk != nullptr) return Fail(ERROR_NOT_SUPPORTED);
    if (iMode < BLACKONWHITE || iMode > HALFTONE) return Fail(ERROR_INVALID_PARAMETER);
    PixelView src;
    if (!ViewOf(psoSrc, src)) return Fail(ERROR_NOT_SUPPORTED);
    const RECTL from = Ordered(*prcl);
    if (from.left < 0 || from.top < 0 || from.right > src.cx || from.bottom > src.cy ||
        IsEmpty(from)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }

    const int64_t ax = pptfx[0].x, ay = pptfx[0].y;
    const int64_t ux = int64_t{pptfx[1].x} - ax, uy = int64_t{pptfx[1].y} - ay;  // along source x
    const int64_t vx = int64_t{pptfx[2].x} - ax, vy = int64_t{pptfx[2].y} - ay;  // along source y
    Wide det = Wide{ux} * vy - Wide{uy} * vx;
    if (det == 0) return TRUE;  // a flat parallelogram covers no pixel
    const int sign = det < 0 ? -1 : 1;
    det *= sign;

    // Bounding box of the four corners, in whole pixels.
    const int64_t xs[] = {ax, ax + ux, ax + vx, ax + ux + vx};
    const int64_t ys[] = {ay, ay + uy, ay + vy, ay + uy + vy};
    const auto [minX, maxX] = std::minmax_element(std::begin(xs), std::end(xs));
    const auto [minY, maxY] = std::minmax_element(std::begin(ys), std::end(ys));
    const auto toPixel = [](int64_t fix, bool up) {
        const int64_t p = up ? (fix + 15) >> 4 : fix >> 4;
        return static_cast<LONG>(std::clamp<int64_t>(p, INT32_MIN, INT32_MAX));
    };
    const RECTL area{toPixel(*minX, false), toPixel(*minY, false), toPixel(*maxX, true),
                     toPixel(*maxY, true)};

    DrawTarget out;
    if (!out.Open(psoTrg, pco, area, false, false)) return FALSE;
    const PixelView& canvas = out.Canvas();
    const Translator translate(pxlo, src.format, canvas.format);
    const int64_t w = int64_t{from.right} - from.left, h = int64_t{from.bottom} - from.top;
    const LONG ox = out.OffsetX(), oy = out.OffsetY();
    for (const RECTL& r : out.Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            const int64_t py = int64_t{y} * 16 + 8 - ay;
            for (LONG x = r.left; x < r.right; ++x) {
                const int64_t px = int64_t{x} * 16 + 8 - ax;
                // p = u * s + v * t with s, t in [0, 1): Cramer's rule, kept as fractions.
                const Wide s = (Wide{px} * vy - Wide{py} * vx) * sign;
                const Wide t = (Wide{ux} * py - Wide{uy} * px) * sign;
                if (s < 0 || s >= det || t < 0 || t >= det) continue;
                const LONG sx = from.left + static_cast<LONG>(FloorDiv(s * w, det));
                const LONG sy = from.top + static_cast<LONG>(FloorDiv(t * h, det));
                WritePixel(canvas, x + ox, y + oy, translate(ReadPixel(src, sx, sy)));
            }
        }
    }
    return out.Close();
}

}  // extern "C"
