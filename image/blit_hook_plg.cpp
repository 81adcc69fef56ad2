// DrvPlgBlt: an image drawn onto a parallelogram. A quarter turn is done as a
// rotation into a temporary bitmap followed by a stretch onto the page, so that
// Unidrv and the printer see an ordinary upright image; any other parallelogram
// is left to the engine.
#include "image/blit_hooks.h"
#include "settings/device/device_state.h"
#include "image/decoded_image.h"
#include "image/png_source.h"
#include "image/sender_gate.h"
#include "image/temp_surface.h"

namespace xlr {
namespace {

// 28.4 fixed point to device pixels, rounding toward minus infinity.
LONG ToPixel(FIX v) {
    return v >> 4;
}

// The first and second points on one vertical line, the first and third on one
// horizontal line: the image turns by a quarter (and may be scaled).
bool IsQuarterTurn(const POINTFIX* p) {
    return p[0].x == p[1].x && p[0].y == p[2].y;
}

}  // namespace

BOOL DrvPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco, XLATEOBJ* pxlo,
               COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx, RECTL* prcl,
               POINTL* pptl, ULONG iMode) {
    const PDEVOBJ device = DeviceOfSurface(psoTrg);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return FALSE;
    if (state->suppressOutput != 0) return TRUE;

    const bool quarterTurn = psoSrc != nullptr && psoMsk == nullptr && pptfx != nullptr &&
                             prcl != nullptr && psoSrc->iBitmapFormat == psoTrg->iBitmapFormat &&
                             IsQuarterTurn(pptfx) && prcl->left < prcl->right &&
                             prcl->top < prcl->bottom;
    if (!quarterTurn)
        return EngPlgBlt(psoTrg, psoSrc, psoMsk, pco, pxlo, pca, pptlBrushOrg, pptfx, prcl, pptl,
                         iMode);

    SURFOBJ* source = psoSrc;
    DecodedImage decoded;
    if (source->iBitmapFormat == BMF_PNG && !DecodePng(decoded, psoSrc, &source)) return FALSE;

    const LONG w = prcl->right - prcl->left;
    const LONG h = prcl->bottom - prcl->top;
    TempSurface turned = CreateTempSurface(device, h, w, source->iBitmapFormat);
    if (!turned) return FALSE;

    // The third point at or right of the first: the source's top row runs up the
    // left edge (a turn to the left); otherwise down the right edge.
    const bool turnLeft = pptfx[2].x >= pptfx[0].x;
    POINTFIX corners[3];
    if (turnLeft) {
        corners[0] = {0, w * 16};
        corners[1] = {0, 0};
        corners[2] = {h * 16, w * 16};
    } else {
        corners[0] = {h * 16, 0};
        corners[1] = {h * 16, w * 16};
        corners[2] = {0, 0};
    }
    if (!EngPlgBlt(turned.get(), source, nullptr, nullptr, nullptr, pca, pptlBrushOrg, corners,
                   prcl, pptl, iMode))
        return FALSE;

    RECTL destination{};
    if (turnLeft)
        destination = {ToPixel(pptfx[1].x), ToPixel(pptfx[1].y), ToPixel(pptfx[2].x),
                       ToPixel(pptfx[0].y)};
    else
        destination = {ToPixel(pptfx[2].x), ToPixel(pptfx[0].y), ToPixel(pptfx[1].x),
                       ToPixel(pptfx[1].y)};
    RECTL whole{0, 0, h, w};
    // The stretch reaches the page through DrvCopyBits, which then leaves the
    // turned image to Unidrv: for this stretch only.
    const SenderSkipped skipped(*state);
    return EngStretchBlt(psoTrg, turned.get(), nullptr, pco, pxlo, pca, pptlBrushOrg, &destination,
                         &whole, nullptr, iMode);
}

}  // namespace xlr
