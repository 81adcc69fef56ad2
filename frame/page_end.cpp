#include "frame/page_end.h"

#include <array>
#include <cstring>

#include "fonts/watermarks.h"
#include "pclxl/operators.h"
#include "settings/feature_reader.h"
#include "settings/pages_per_sheet.h"

namespace xlr {
namespace {

// Unidrv's copies variable, through the driver helper or the device's procedures.
uint32_t UnidrvCopies(PDEVOBJ device, const PluginDeviceState& state) {
    LONG copies = 1;
    DWORD needed = 0;
    bool read = false;
    if (state.driverHelper != nullptr) {
        read = SUCCEEDED(state.driverHelper->DrvGetStandardVariable(device, SVI_COPIES, &copies,
                                                                    sizeof copies, &needed));
    } else if (device->pDrvProcs != nullptr &&
               device->pDrvProcs->DrvGetStandardVariable != nullptr) {
        read = device->pDrvProcs->DrvGetStandardVariable(device, SVI_COPIES, &copies, sizeof copies,
                                                         &needed);
    }
    return read && copies > 0 ? static_cast<uint32_t>(copies) : 1;
}

}  // namespace

bool TakesFullPath(const SettingsRecord& settings, const PluginDeviceState& state) {
    return settings.outputMode == 3 && state.jobDataType != 2;
}

uint32_t PageCopies(PDEVOBJ device, const PluginDeviceState& state) {
    // Copies that could not be captured are made by the printer, uncollated
    // but all there.
    if (state.captureFailed != 0) return UnidrvCopies(device, state);
    const FeatureReader features(device, state.driverHelper);
    const bool collated =
        device->pPublicDM != nullptr && device->pPublicDM->dmCollate == DMCOLLATE_TRUE;
    const auto vellex = features.Read(WSTR("DeviceIsVellex"));
    if (!vellex) return collated ? 1 : UnidrvCopies(device, state);
    uint32_t copies = 1;
    if (SameText(*vellex, WSTR("NOTINSTALLED"))) {
        copies = UnidrvCopies(device, state);
    } else if (SameText(*vellex, WSTR("INSTALLED"))) {
        copies = collated ? 1 : UnidrvCopies(device, state);
    } else {
        return 1;
    }
    return state.captureActive != 0 ? 1 : copies;
}

void WriteEndOfPage(XLStream* stream, uint32_t copies) {
    XLEndPage(stream, copies);
}

void DrawSheetWatermarks(XLStream* stream, PDEVOBJ device, PluginDeviceState& state,
                         const SettingsRecord& settings) {
    if (settings.watermark.enabled != 1 || device->pPublicDM == nullptr) return;
    const uint32_t pages = LogicalPageCount(settings, *device->pPublicDM, state.mediaManualDuplex);
    for (uint32_t slot = 0; slot < pages && slot < kMaxLogicalPages; ++slot) {
        const bool wanted =
            settings.watermark.firstPageOnly == 0 || state.watermarkPages[slot].ordinal == 1;
        if (SlotHasWatermark(device, state, settings, static_cast<int>(slot)) && wanted)
            DrawWatermark(stream, state, settings, static_cast<int>(slot));
    }
    std::memset(state.watermarkFrame, 0, sizeof state.watermarkFrame);
    state.watermarkCount = 0;
    state.watermarkScale = 0.0f;
    state.watermarkParam = 0;
    std::memset(state.watermarkPages, 0, sizeof state.watermarkPages);
}

void WriteSpeedMechanismCommand(PDEVOBJ device, const PluginDeviceState& state) {
    // A uint32 0x6B782100 for attribute 0x91, a ubyte mode for attribute 0x93,
    // then the vendor operator 0x46.
    std::array<BYTE, 12> command = {0xC2, 0x00, 0x21, 0x78, 0x6B, 0xF8,
                                    0x91, 0xC0, 0x00, 0xF8, 0x93, 0x46};
    command[8] = state.speedMechMode == 0 ? 0 : 1;
    if (device->pDrvProcs != nullptr && device->pDrvProcs->DrvWriteSpoolBuf != nullptr)
        device->pDrvProcs->DrvWriteSpoolBuf(device, command.data(),
                                            static_cast<DWORD>(command.size()));
}

}  // namespace xlr
