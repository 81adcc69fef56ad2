// Hooks that only pass the call on to Unidrv: lines, paths and the start of
// banding. While the analysis pass of a page is running (suppressOutput) the
// drawing ones draw nothing and report success.
#include "frame/hooks.h"

namespace xlr {
namespace {

// The state of the surface's device, or null.
PluginDeviceState* StateOf(SURFOBJ* surface) {
    return DeviceState(DeviceOfSurface(surface));
}

}  // namespace

BOOL DrvLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2,
               RECTL* prclBounds, MIX mix) {
    PluginDeviceState* state = StateOf(pso);
    if (state == nullptr) return FALSE;
    if (state->suppressOutput != 0) return TRUE;
    auto unidrv = UnidrvHook<PFN_DrvLineTo>(*state, kSlotLineTo);
    return unidrv != nullptr ? unidrv(pso, pco, pbo, x1, y1, x2, y2, prclBounds, mix) : FALSE;
}

BOOL DrvStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                   POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
    PluginDeviceState* state = StateOf(pso);
    if (state == nullptr) return FALSE;
    if (state->suppressOutput != 0) return TRUE;
    auto unidrv = UnidrvHook<PFN_DrvStrokePath>(*state, kSlotStrokePath);
    return unidrv != nullptr ? unidrv(pso, ppo, pco, pxo, pbo, pptlBrushOrg, plineattrs, mix)
                             : FALSE;
}

BOOL DrvFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                 MIX mix, FLONG flOptions) {
    PluginDeviceState* state = StateOf(pso);
    if (state == nullptr) return FALSE;
    if (state->suppressOutput != 0) return TRUE;
    auto unidrv = UnidrvHook<PFN_DrvFillPath>(*state, kSlotFillPath);
    return unidrv != nullptr ? unidrv(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions) : FALSE;
}

BOOL DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                          BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                          POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions) {
    PluginDeviceState* state = StateOf(pso);
    if (state == nullptr) return FALSE;
    if (state->suppressOutput != 0) return TRUE;
    auto unidrv = UnidrvHook<PFN_DrvStrokeAndFillPath>(*state, kSlotStrokeAndFillPath);
    return unidrv != nullptr ? unidrv(pso, ppo, pco, pxo, pboStroke, plineattrs, pboFill,
                                      pptlBrushOrg, mixFill, flOptions)
                             : FALSE;
}

// Banding goes on in both passes of a page.
BOOL DrvStartBanding(SURFOBJ* pso, POINTL* pptl) {
    PluginDeviceState* state = StateOf(pso);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvStartBanding>(*state, kSlotStartBanding);
    return unidrv != nullptr ? unidrv(pso, pptl) : FALSE;
}

}  // namespace xlr
