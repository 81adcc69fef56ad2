// Hooks whose own work is not built yet: they pass every call on to Unidrv, so
// that Unidrv still draws the page.
// FIXME: the image hooks replace these as they are built.
#include "frame/hooks.h"

namespace xlr {
namespace {

PluginDeviceState* StateOf(SURFOBJ* surface) { return DeviceState(DeviceOfSurface(surface)); }

template <typename Fn, typename... Args>
auto Forward(SURFOBJ* surface, HookSlot slot, Args... args) -> decltype(std::declval<Fn>()(args...)) {
    PluginDeviceState* state = StateOf(surface);
    if (state == nullptr) return 0;
    Fn unidrv = UnidrvHook<Fn>(*state, slot);
    return unidrv != nullptr ? unidrv(args...) : 0;
}

}  // namespace

BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                 POINTL* pptlSrc) {
    return Forward<PFN_DrvCopyBits>(psoDest, kSlotCopyBits, psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc);
}

BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
               RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
               ROP4 rop4) {
    return Forward<PFN_DrvBitBlt>(psoTrg, kSlotBitBlt, psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc,
                                  pptlMask, pbo, pptlBrush, rop4);
}

BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                   COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                   ULONG iMode) {
    return Forward<PFN_DrvStretchBlt>(psoDest, kSlotStretchBlt, psoDest, psoSrc, psoMask, pco, pxlo, pca,
                                      pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
}

BOOL DrvStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                      COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                      POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4) {
    return Forward<PFN_DrvStretchBltROP>(psoDest, kSlotStretchBltROP, psoDest, psoSrc, psoMask, pco, pxlo, pca,
                                         pptlHTOrg, prclDest, prclSrc, pptlMask, iMode, pbo, rop4);
}

BOOL DrvAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                   RECTL* prclSrc, BLENDOBJ* pBlendObj) {
    return Forward<PFN_DrvAlphaBlend>(psoDest, kSlotAlphaBlend, psoDest, psoSrc, pco, pxlo, prclDest, prclSrc,
                                      pBlendObj);
}

BOOL DrvGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex, ULONG nVertex,
                     PVOID pMesh, ULONG nMesh, RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode) {
    return Forward<PFN_DrvGradientFill>(psoDest, kSlotGradientFill, psoDest, pco, pxlo, pVertex, nVertex, pMesh,
                                        nMesh, prclExtents, pptlDitherOrg, ulMode);
}




BOOL DrvPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco, XLATEOBJ* pxlo,
               COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx, RECTL* prcl, POINTL* pptl,
               ULONG iMode) {
    return Forward<PFN_DrvPlgBlt>(psoTrg, kSlotPlgBlt, psoTrg, psoSrc, psoMsk, pco, pxlo, pca, pptlBrushOrg,
                                  pptfx, prcl, pptl, iMode);
}

}  // namespace xlr
