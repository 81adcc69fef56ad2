// DrvStartPage, DrvNextBand and DrvSendPage: pages are counted, the analysis
// pass of a two-pass page draws nothing, and every physical page ends with the
// plug-in's own PageCopies and EndPage after Unidrv's page data.
#include "frame/hooks.h"
#include "image/enhancement/command_store.h"
#include "image/enhancement/image_slice.h"
#include "frame/page_end.h"
#include "pclxl/spool_stream.h"
#include "settings/feature_reader.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

BOOL InvalidData() {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
}

bool AtEndOfPage(const POINTL* origin) {
    return origin->x == -1 && origin->y == -1;
}

// The end of an output pass in a two-pass document: the page's records and any
// piece still waiting for the rest of its picture go, and the next page
// delivered is the analysis pass of the following page.
void EndOutputPass(PluginDeviceState& state) {
    if (state.preAnalysis != 1) return;
    CommandStoreReleasePage(state.commandStore);
    if (state.imageSlice != nullptr) SliceRelease(state);
    state.suppressOutput = 1;
}

}  // namespace

BOOL DrvStartPage(SURFOBJ* pso) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvStartPage>(*state, kSlotStartPage);
    if (unidrv == nullptr) return FALSE;
    if (device->pPublicDM == nullptr) return InvalidData();
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings) return InvalidData();

    // A page printed in two passes counts once, in its analysis pass.
    if (!(state->preAnalysis == 1 && state->suppressOutput == 0)) ++state->pageCount;
    if (state->suppressOutput == 1) {
        CommandStoreResetForPage(state->commandStore);
        return TRUE;
    }
    const FeatureReader features(device, state->driverHelper);
    if (TakesFullPath(*settings, *state) && state->pageCount == 1)
        if (const auto colorMode = features.Read(WSTR("ColorMode")))
            state->colorMode = SameText(*colorMode, WSTR("Mono")) ? 1 : 2;
    const BOOL result = unidrv(pso);
    if (state->speedMech == 1 && state->speedMechSimplex == 1)
        WriteSpeedMechanismCommand(device, *state);
    return result;
}

BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvNextBand>(*state, kSlotNextBand);
    if (unidrv == nullptr) return FALSE;
    if (device->pPublicDM == nullptr) return InvalidData();
    if (state->suppressOutput == 1) {
        // The analysis pass of a banded page: Unidrv moves from band to band
        // (its page was not started, so it ends none), and the page's last band
        // ends the pass without a page end; the output pass follows.
        const BOOL result = unidrv(pso, pptl);
        if (pptl != nullptr && AtEndOfPage(pptl)) state->suppressOutput = 0;
        return result;
    }
    SpoolStream stream(device);
    if (pptl == nullptr || !stream) return unidrv(pso, pptl);

    const uint32_t copies = PageCopies(device, *state);
    const BOOL result = unidrv(pso, pptl);
    if (AtEndOfPage(pptl)) {
        const UnpackedSettings settings(device->pOEMDM);
        if (settings && TakesFullPath(*settings, *state))
            DrawSheetWatermarks(stream.get(), device, *state, *settings);
        WriteEndOfPage(stream.get(), copies);
        EndOutputPass(*state);
    }
    return result;
}

BOOL DrvSendPage(SURFOBJ* pso) {
    PDEVOBJ device = DeviceOfSurface(pso);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return FALSE;
    auto unidrv = UnidrvHook<PFN_DrvSendPage>(*state, kSlotSendPage);
    if (unidrv == nullptr) return FALSE;
    if (device->pPublicDM == nullptr) return InvalidData();
    if (state->suppressOutput == 1) {  // the analysis pass ends; the output pass follows
        state->suppressOutput = 0;
        return TRUE;
    }
    // Whichever way the page ends, the next one starts with its analysis pass.
    struct EndPass {
        PluginDeviceState& state;
        ~EndPass() { EndOutputPass(state); }
    } endPass{*state};

    SpoolStream stream(device);
    if (!stream) return unidrv(pso);
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings) return unidrv(pso);
    const uint32_t copies = PageCopies(device, *state);
    const BOOL result = unidrv(pso);
    if (TakesFullPath(*settings, *state))
        DrawSheetWatermarks(stream.get(), device, *state, *settings);
    WriteEndOfPage(stream.get(), copies);
    return result;
}

}  // namespace xlr
