// The image hooks that only pass the call on to Unidrv: transparent blits
// (which draw nothing in the analysis pass of a page), alpha blending and
// gradient fills (which Unidrv gets in both passes).
#include "image/blit_hooks.h"
#include "settings/device/device_state.h"

namespace xlr {
namespace {

PluginDeviceState* StateOf(SURFOBJ* surface) {
    return DeviceState(DeviceOfSurface(surface));
}

}  // namespace

BOOL DrvTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                       RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved) {
    PluginDeviceState* state = StateOf(psoDst);
    if (state == nullptr) return FALSE;
    if (state->suppressOutput != 0) return TRUE;
    auto unidrv = UnidrvHook<PFN_DrvTransparentBlt>(*state, kSlotTransparentBlt);
    return unidrv != nullptr
               ? unidrv(psoDst, psoSrc, pco, pxlo, prclDst, prclSrc, iTransColor, ulReserved)
               : FALSE;
}

BOOL DrvAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                   RECTL* prclSrc, BLENDOBJ* pBlendObj) {
    PluginDeviceState* state = StateOf(psoDest);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvAlphaBlend>(*state, kSlotAlphaBlend);
    return unidrv != nullptr ? unidrv(psoDest, psoSrc, pco, pxlo, prclDest, prclSrc, pBlendObj)
                             : FALSE;
}

BOOL DrvGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                     ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                     POINTL* pptlDitherOrg, ULONG ulMode) {
    PluginDeviceState* state = StateOf(psoDest);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvGradientFill>(*state, kSlotGradientFill);
    return unidrv != nullptr ? unidrv(psoDest, pco, pxlo, pVertex, nVertex, pMesh, nMesh,
                                      prclExtents, pptlDitherOrg, ulMode)
                             : FALSE;
}

}  // namespace xlr
