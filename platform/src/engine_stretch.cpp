// EngStretchBlt and EngStretchBltROP: resampling of a source rectangle onto a
// destination rectangle. COLORONCOLOR (and the two monochrome modes) take the
// nearest source pixel; HALFTONE averages the source area under each destination
// pixel when reducing and interpolates between the nearest pixels when enlarging.
#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// One destination column (or row) as weighted source columns; weights sum to kOne.
constexpr uint32_t kOne = 1u << 16;
struct Taps {
    LONG first = 0;                 // source index of weights[0]
    std::vector<uint32_t> weights;  // consecutive source indices
};

// The source index under the centre of destination index i (of dw) for a source
// extent sw starting at 0.
LONG NearestIndex(int64_t i, int64_t dw, int64_t sw) {
    return static_cast<LONG>(((2 * i + 1) * sw) / (2 * dw));
}

// Turns exact integer weights into fixed point that sums to kOne.
Taps Normalise(LONG first, const std::vector<uint64_t>& raw, uint64_t total) {
    Taps taps;
    taps.first = first;
    uint64_t given = 0;
    for (size_t k = 0; k < raw.size(); ++k) {
        const uint64_t w = k + 1 == raw.size() ? kOne - given : (raw[k] * kOne + total / 2) / total;
        taps.weights.push_back(static_cast<uint32_t>(w));
        given += w;
    }
    return taps;
}

// Halftone taps for destination index i of dw over source extent sw.
Taps HalftoneTaps(int64_t i, int64_t dw, int64_t sw) {
    std::vector<uint64_t> raw;
    if (sw >= dw) {
        // Reducing: destination pixel i covers [i*sw, (i+1)*sw) in units of 1/dw source
        // pixel; each source pixel k covers [k*dw, (k+1)*dw). Weights are the overlaps.
        const int64_t from = i * sw, to = (i + 1) * sw;
        const int64_t k0 = from / dw, k1 = (to - 1) / dw;
        for (int64_t k = k0; k <= k1; ++k) {
            const int64_t overlap = std::min(to, (k + 1) * dw) - std::max(from, k * dw);
            raw.push_back(static_cast<uint64_t>(std::max<int64_t>(overlap, 0)));
        }
        return Normalise(static_cast<LONG>(k0), raw, static_cast<uint64_t>(sw));
    }
    // Enlarging: linear between the two source centres around the destination centre,
    // (i + 1/2) * sw / dw - 1/2 source pixels, in units of 1/(2*dw) source pixel.
    const int64_t centre = (2 * i + 1) * sw - dw;
    int64_t k0 = centre >= 0 ? centre / (2 * dw) : -1;
    const int64_t frac = centre - k0 * 2 * dw;
    int64_t k1 = k0 + 1;
    uint64_t w0 = static_cast<uint64_t>(2 * dw - frac), w1 = static_cast<uint64_t>(frac);
    // At the edges both taps fall on the edge pixel.
    if (k0 < 0) k0 = 0;
    if (k1 > sw - 1) k1 = sw - 1;
    if (k0 == k1) return Normalise(static_cast<LONG>(k0), {w0 + w1}, w0 + w1);
    return Normalise(static_cast<LONG>(k0), {w0, w1}, w0 + w1);
}

struct StretchCall {
    SURFOBJ* dst;
    SURFOBJ* src;
    SURFOBJ* mask;
    CLIPOBJ* pco;
    XLATEOBJ* pxlo;
    const RECTL* dstRect;
    const RECTL* srcRect;
    ULONG mode;
    BRUSHOBJ* brush;
    BYTE rop;
};

BOOL Stretch(const StretchCall& call) {
    if (call.dst == nullptr || call.dstRect == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (call.mask != nullptr) return Fail(ERROR_NOT_SUPPORTED);
    if (call.mode < BLACKONWHITE || call.mode > HALFTONE) return Fail(ERROR_INVALID_PARAMETER);
    const bool usesSource = RopUsesSource(call.rop);
    const bool usesPattern = RopUsesPattern(call.rop);
    const bool usesDest = RopUsesDestination(call.rop);

    const RECTL& d = *call.dstRect;
    const RECTL target = Ordered(d);
    PixelView src;
    RECTL from{};
    bool mirrorX = false, mirrorY = false;
    if (usesSource) {
        if (call.src == nullptr || call.srcRect == nullptr) return Fail(ERROR_INVALID_PARAMETER);
        if (!ViewOf(call.src, src)) return Fail(ERROR_NOT_SUPPORTED);
        const RECTL& s = *call.srcRect;
        from = Ordered(s);
        // The source rectangle must lie inside the source bitmap and hold pixels.
        if (from.left < 0 || from.top < 0 || from.right > src.cx || from.bottom > src.cy ||
            IsEmpty(from)) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        // An inverted rectangle on either side mirrors; on both it does not.
        mirrorX = (d.left > d.right) != (s.left > s.right);
        mirrorY = (d.top > d.bottom) != (s.top > s.bottom);
    }
    if (IsEmpty(target)) return TRUE;
    ULONG pattern = 0;
    if (usesPattern) {
        if (call.brush == nullptr || call.brush->iSolidColor == 0xFFFFFFFF) {
            return Fail(ERROR_NOT_SUPPORTED);
        }
        pattern = call.brush->iSolidColor;
    }

    DrawTarget out;
    if (!out.Open(call.dst, call.pco, target, false, usesDest)) return FALSE;
    if (out.Rects().empty()) return out.Close();
    const PixelView& canvas = out.Canvas();
    const Translator translate(call.pxlo, usesSource ? src.format : 0, canvas.format);
    const bool average = call.mode == HALFTONE && IsDirectColor(canvas.format);
    const RECTL drawn = BoundingBox(out.Rects());
    const int64_t dw = int64_t{target.right} - target.left;
    const int64_t dh = int64_t{target.bottom} - target.top;
    const int64_t sw = int64_t{from.right} - from.left;
    const int64_t sh = int64_t{from.bottom} - from.top;

    // Per destination column and row of the drawn area: the source index (nearest)
    // or the weighted source indices (halftone).
    std::vector<LONG> nearestX, nearestY;
    std::vector<Taps> tapsX, tapsY;
    if (usesSource) {
        for (LONG x = drawn.left; x < drawn.right; ++x) {
            int64_t i = x - int64_t{target.left};
            if (mirrorX) i = dw - 1 - i;
            if (average)
                tapsX.push_back(HalftoneTaps(i, dw, sw));
            else
                nearestX.push_back(NearestIndex(i, dw, sw));
        }
        for (LONG y = drawn.top; y < drawn.bottom; ++y) {
            int64_t i = y - int64_t{target.top};
            if (mirrorY) i = dh - 1 - i;
            if (average)
                tapsY.push_back(HalftoneTaps(i, dh, sh));
            else
                nearestY.push_back(NearestIndex(i, dh, sh));
        }
    }

    const auto sample = [&](LONG x, LONG y) -> ULONG {
        if (!average) {
            return translate(ReadPixel(src, from.left + nearestX[x - drawn.left],
                                       from.top + nearestY[y - drawn.top]));
        }
        const Taps& tx = tapsX[x - drawn.left];
        const Taps& ty = tapsY[y - drawn.top];
        uint64_t r = 0, g = 0, b = 0;
        for (size_t j = 0; j < ty.weights.size(); ++j) {
            const LONG sy = from.top + ty.first + static_cast<LONG>(j);
            for (size_t k = 0; k < tx.weights.size(); ++k) {
                const uint64_t w = uint64_t{ty.weights[j]} * tx.weights[k];
                if (w == 0) continue;
                const ULONG rgb = ValueToRgb(
                    canvas.format,
                    translate(ReadPixel(src, from.left + tx.first + static_cast<LONG>(k), sy)));
                r += w * ((rgb >> 16) & 0xFF);
                g += w * ((rgb >> 8) & 0xFF);
                b += w * (rgb & 0xFF);
            }
        }
        constexpr uint64_t kScale = uint64_t{kOne} * kOne;
        const auto channel = [](uint64_t sum) {
            return static_cast<ULONG>((sum + kScale / 2) / kScale);
        };
        return RgbToValue(canvas.format, (channel(r) << 16) | (channel(g) << 8) | channel(b));
    };

    const LONG ox = out.OffsetX(), oy = out.OffsetY();
    for (const RECTL& r : out.Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            for (LONG x = r.left; x < r.right; ++x) {
                const ULONG s = usesSource ? sample(x, y) : 0;
                const ULONG dv = usesDest ? ReadPixel(canvas, x + ox, y + oy) : 0;
                WritePixel(canvas, x + ox, y + oy, Rop3(call.rop, pattern, s, dv));
            }
        }
    }
    return out.Close();
}

}  // namespace
}  // namespace xlplatform::engine

using namespace xlplatform::engine;

extern "C" {

BOOL APIENTRY EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                            XLATEOBJ* pxlo, COLORADJUSTMENT*, POINTL*, RECTL* prclDest,
                            RECTL* prclSrc, POINTL*, ULONG iMode) {
    if (psoSrc == nullptr || prclSrc == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    return Stretch(
        StretchCall{psoDest, psoSrc, psoMask, pco, pxlo, prclDest, prclSrc, iMode, nullptr, 0xCC});
}

BOOL APIENTRY EngStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, COLORADJUSTMENT*, POINTL*, RECTL* prclDest,
                               RECTL* prclSrc, POINTL*, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4) {
    const BYTE rop = static_cast<BYTE>(rop4 & 0xFF);
    return Stretch(
        StretchCall{psoDest, psoSrc, psoMask, pco, pxlo, prclDest, prclSrc, iMode, pbo, rop});
}

}  // extern "C"
