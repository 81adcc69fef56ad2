// DrvTextOut: text goes to Unidrv, in black when the printer is set to print
// text as black.
#include "frame/hooks.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {
constexpr ULONG kWhite = 0xFFFFFF;
}  // namespace

BOOL DrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                MIX mix) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvTextOut>(*state, kSlotTextOut);
    if (unidrv == nullptr) return FALSE;
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings)
        return unidrv(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                      mix);
    if (state->suppressOutput != 0) return TRUE;

    BRUSHOBJ brush{};
    if (pboFore != nullptr) {
        brush.iSolidColor = pboFore->iSolidColor;
        brush.pvRbrush = pboFore->pvRbrush;
        brush.flColorType = pboFore->flColorType;
    }
    // Solid text on no background turns black, unless it is white (which is
    // meant to knock out what lies below).
    if (state->textAsBlack == 1 && prclExtra == nullptr && prclOpaque == nullptr &&
        pboFore != nullptr && pboFore->iSolidColor != kWhite)
        brush.iSolidColor = 0;
    BRUSHOBJ* fore = state->textAsBlack != 0 && pboFore != nullptr ? &brush : pboFore;
    return unidrv(pso, pstro, pfo, pco, prclExtra, prclOpaque, fore, pboOpaque, pptlOrg, mix);
}

}  // namespace xlr
