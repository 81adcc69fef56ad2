#include "frame/device_enable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>

#include <winddi.h>
#include <winspool.h>

#include "frame/capture_file.h"
#include "settings/device/hook_slots.h"
#include "image/enhancement/command_store.h"
#include "image/enhancement/image_slice.h"
#include "settings/device/device_settings.h"
#include "settings/device/raw_spooling.h"
#include "settings/media/media_lists.h"
#include "settings/xml/xml_configuration.h"
#include "settings/feature_reader.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

void Fail(PDEVOBJ device, PluginDeviceState* state) {
    FreeDeviceState(state);
    device->pdevOEM = nullptr;
    SetLastError(ERROR_INVALID_DATA);
}

// The hybrid path is on when the printer has a "HybridPathSupported" value that
// fits four bytes (its content is not looked at).
void SetHybridPathFromPrinter(HANDLE printer) {
    BYTE value[4] = {};
    DWORD type = 0, needed = 0;
    WCHAR name[] = WSTR("HybridPathSupported");
    SetHybridPathFlag(
        GetPrinterDataW(printer, name, &type, value, sizeof value, &needed) == ERROR_SUCCESS ? 1
                                                                                             : 0);
}

void SaveUnidrvHooks(PluginDeviceState& state, const DRVENABLEDATA* unidrv) {
    if (unidrv == nullptr || unidrv->pdrvfn == nullptr) return;
    for (int slot = 0; slot < kHookCount; ++slot)
        for (ULONG i = 0; i < unidrv->c; ++i)
            if (unidrv->pdrvfn[i].iFunc == kHookFunctionIndex[slot]) {
                state.unidrvHooks[slot] = unidrv->pdrvfn[i].pfn;
                break;
            }
}

// Margins when the printer emulates another model's margins or scales duplex
// pages: symmetric margins from the larger of each pair of opposite gaps.
void ComputeMargins(PDEVOBJ device, const FeatureReader& features, PluginDeviceState& state,
                    GDIINFO& gdi) {
    const LONG cx = gdi.szlPhysSize.cx, cy = gdi.szlPhysSize.cy;
    const LONG rightGap = cx - static_cast<LONG>(gdi.ulHorzRes) - gdi.ptlPhysOffset.x;
    const LONG bottomGap = cy - static_cast<LONG>(gdi.ulVertRes) - gdi.ptlPhysOffset.y;
    state.marginX = std::max(gdi.ptlPhysOffset.x, rightGap);
    state.marginY = std::max(gdi.ptlPhysOffset.y, bottomGap);
    if (state.emulateMargins == 1) {
        POINTL offset{0, 0};
        if (!features.Exists(WSTR("KXXMLFileUsed")) ||
            !ReadXmlPageOffset(device, features, gdi, offset))
            offset = {0, 0};
        gdi.ptlPhysOffset = offset;
    }
    auto margin = [](LONG saved, LONG offset, LONG fallback) {
        double value = saved < offset ? 2.0 * offset - saved : fallback;
        return std::max(value, static_cast<double>(fallback));
    };
    const double x = margin(state.physOffsetX, gdi.ptlPhysOffset.x, state.marginX);
    const double y = margin(state.physOffsetY, gdi.ptlPhysOffset.y, state.marginY);
    state.marginX = static_cast<int32_t>(x);
    state.marginY = static_cast<int32_t>(y);
    state.printableWidth = cx - static_cast<int32_t>(2 * x);
    state.printableHeight = cy - static_cast<int32_t>(2 * y);
    if (state.emulateMargins == 1) {
        gdi.ulHorzRes = static_cast<ULONG>(cx - 2 * gdi.ptlPhysOffset.x);
        gdi.ulVertRes = static_cast<ULONG>(cy - 2 * gdi.ptlPhysOffset.y);
    }
}

// "low_high": the leading integer of each of the first two pieces.
void ReadCustomRange(const WideString& text, PluginDeviceState& state) {
    auto number = [](WideStringView piece) {
        int32_t value = 0;
        size_t i = 0;
        const bool negative = !piece.empty() && piece[0] == u'-';
        if (negative) ++i;
        for (; i < piece.size() && piece[i] >= u'0' && piece[i] <= u'9'; ++i)
            value = value * 10 + (piece[i] - u'0');
        return negative ? -value : value;
    };
    const size_t split = text.find(u'_');
    WideStringView rest = WideStringView(text);
    state.customRangeLow = number(rest.substr(0, split));
    state.customRangeHigh = 0;
    if (split != WideString::npos) {
        rest = rest.substr(split + 1);
        state.customRangeHigh = number(rest.substr(0, rest.find(u'_')));
    }
}

int32_t JpegMode(const std::optional<WideString>& option) {
    if (!option) return 0;
    if (SameText(*option, WSTR("Auto"))) return 1;
    if (SameText(*option, WSTR("Best"))) return 2;
    if (SameText(*option, WSTR("Maximum"))) return 3;
    return 0;
}

}  // namespace

PluginDeviceState* EnableDeviceState(PDEVOBJ device, IPrintOemDriverUni* helper, GDIINFO* gdiInfo,
                                     DEVINFO* devInfo, const DRVENABLEDATA* unidrv) {
    if (device == nullptr) return nullptr;
    PluginDeviceState* state = NewDeviceState();
    device->pdevOEM = state;
    if (state == nullptr) return nullptr;
    // Every failure frees the state: a device without one is left as it was.
    if (device->pOEMDM == nullptr || helper == nullptr || gdiInfo == nullptr ||
        devInfo == nullptr) {
        Fail(device, state);
        return nullptr;
    }
    state->driverHelper = helper;

    const FeatureReader features(device, helper);
    CompleteSettingsRecord(device, helper);
    ReadDeviceSettings(features, *state);

    UnpackedSettings settings(device->pOEMDM);
    if (!settings) {
        Fail(device, state);
        return nullptr;
    }
    if (device->hPrinter != nullptr) SetHybridPathFromPrinter(device->hPrinter);

    SaveUnidrvHooks(*state, unidrv);
    state->pageCount = 0;
    state->watermarkFontReady = 0;
    std::memset(state->watermarkCharCodes, 0, sizeof state->watermarkCharCodes);
    state->jobDataType = 0;
    state->jobId = 0;
    state->reverseOrderForDuplex = features.Is(WSTR("KXOutputOrderReverseForDuplex"), WSTR("TRUE"));
    state->pcl6PassThrough = features.Exists(WSTR("KXPCL6PassThrough"));

    const DEVMODEW* dm = device->pPublicDM;
    if (dm == nullptr) {
        Fail(device, state);
        return nullptr;
    }
    GDIINFO& gdi = *gdiInfo;
    state->physOffsetX = state->marginX = gdi.ptlPhysOffset.x;
    state->physOffsetY = state->marginY = gdi.ptlPhysOffset.y;
    state->printableWidth = static_cast<int32_t>(gdi.ulHorzRes);
    state->printableHeight = static_cast<int32_t>(gdi.ulVertRes);
    state->emulateMargins = features.Is(WSTR("KXEmulateTarnlowMargins"), WSTR("TRUE"));

    const bool simplexJob = dm->dmDuplex == DMDUP_SIMPLEX && settings->manualDuplex == 0;
    if (simplexJob) {
        state->symmetricMargins = features.Is(WSTR("KXSymmetricMargins"), WSTR("TRUE"));
    } else if (const auto scaling = features.Read(WSTR("KXAutoDuplexScaling"))) {
        state->autoDuplexScaling =
            SameText(*scaling, WSTR("TRUE")) && state->emulateMargins == 0 ? 1 : 2;
    }
    if (state->emulateMargins == 1 || state->autoDuplexScaling == 1)
        ComputeMargins(device, features, *state, gdi);

    if (features.Exists(WSTR("KXBorderLessPhoto")) && IsBorderlessForm(device)) {
        gdi.ulHorzRes = static_cast<ULONG>(gdi.szlPhysSize.cx);
        gdi.ulVertRes = static_cast<ULONG>(gdi.szlPhysSize.cy);
        gdi.ptlPhysOffset = {0, 0};
    }
    if (const auto range = features.Read(WSTR("ActualCustomRange")))
        ReadCustomRange(*range, *state);

    state->duplexRotateEnabled = 1;
    state->mapManualFeedToTray1 = features.Is(WSTR("KXMapManualFeedToTray1"), WSTR("TRUE"));
    state->manualDuplexModal = features.Is(WSTR("KXManualDuplexDialogModel"), WSTR("Modal"));
    state->manualDuplexOddFirstOff =
        features.Is(WSTR("KXManualDuplexPageOrder"), WSTR("OddPagesFirst")) ? 0 : 1;
    if (const auto rotate = features.Read(WSTR("KXManualDuplexPageRotate")))
        state->rotate180 = SameText(*rotate, WSTR("UserRotate")) ? 1 : 0;
    else
        state->rotate180 = features.Exists(WSTR("KXOrientRotate180")) ? 0 : 1;
    const auto vellex = features.Read(WSTR("DeviceIsVellex"));
    state->deviceIsVellex =
        vellex && (SameText(*vellex, WSTR("INSTALLED")) || SameText(*vellex, WSTR("TRUE"))) ? 1 : 0;
    state->jpegMode = JpegMode(features.Read(WSTR("JPEGEnable")));

    state->savedOrientation = static_cast<uint16_t>(dm->dmOrientation);
    state->mediaManualDuplex = 0;
    state->afterRotate180 = 0;
    state->retentionUserName[0] = state->retentionJobName[0] = state->documentName[0] = 0;

    if ((settings->capabilityFlags & 0x80000) != 0 &&
        (settings->monochrome == 1 || settings->monochrome2 == 1))
        gdi.cBitsPixel = 8;
    if ((settings->capabilityFlags & 0x1000) != 0) {
        gdi.ulNumColors = std::max<ULONG>(gdi.ulNumColors, 256);
        if ((gdi.ulNumColors & 0xFFFF) == 0) gdi.ulNumColors -= 1;
    }
    state->smartDuplexSinglePage = features.Is(WSTR("KXSmartDuplexSinglePageJob"), WSTR("TRUE"));
    state->smartDuplexOddPage = features.Is(WSTR("KXSmartDuplexOddPageJob"), WSTR("TRUE"));
    if (features.Is(WSTR("KXPngPassthrough"), WSTR("TRUE"))) {
        state->pngPassThrough = 1;
        devInfo->flGraphicsCaps2 |= GCAPS2_PNGSRC;
    }
    state->shiftMarginsForRotate180 =
        features.Is(WSTR("KXShiftMarginsForOrientRotate180"), WSTR("TRUE"));
    state->alternateLetterhead = features.Is(WSTR("AlternateLetterHead"), WSTR("TRUE"));
    if (const auto duplexUnit = features.Read(WSTR("DuplexUnit"))) {
        if (SameText(*duplexUnit, WSTR("FALSE")) || SameText(*duplexUnit, WSTR("NOTINSTALLED")) ||
            settings->outputMode != 3)
            state->alternateLetterhead = 0;
    }
    state->speedMech = features.Exists(WSTR("KXSpeedMech"));
    state->speedMechFlags = state->speedMechMode = 0;
    state->preAnalysis = state->suppressOutput = 0;
    state->commandStore = nullptr;
    state->speedMechSimplex = simplexJob ? 1 : 0;
    state->resolution = static_cast<int32_t>(gdi.ulLogPixelsX);

    if (features.Is(WSTR("KXEnableRAWSpooling"), WSTR("TRUE"))) {
        bool dontJournal = false;
        if (settings->rawSpoolingCapable != 0) {
            RunMediaChecks(device, *state, *settings);
            dontJournal = RawSpoolingAllowed(*settings, *state) && state->mediaManualDuplex == 0;
        }
        if (dontJournal)
            devInfo->flGraphicsCaps |= GCAPS_DONTJOURNAL;
        else
            devInfo->flGraphicsCaps &= ~GCAPS_DONTJOURNAL;
    }
    state->contentOrientation = 0;
    state->usbSerialNumber[0] = 0;
    state->captureActive = 0;
    state->capturePath[0] = 0;
    return state;
}

void DisableDeviceState(PDEVOBJ device) {
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return;
    DestroyCommandStore(state->commandStore);
    if (state->imageSlice != nullptr) SliceRelease(*state);
    ForgetCaptureFile(*state);  // a document that never ended leaves no file behind
    FreeDeviceState(state);
    if (HybridPathFlag() == 0) device->pdevOEM = nullptr;
}

void ResetDeviceState(PDEVOBJ oldDevice, PDEVOBJ newDevice) {
    if (oldDevice == nullptr || newDevice == nullptr) return;
    PluginDeviceState* from = nullptr;
    PluginDeviceState* to = nullptr;
    if (HybridPathFlag() != 0) {
        auto* oldRecord = static_cast<HybridDeviceRecord*>(oldDevice->pdevOEM);
        auto* newRecord = static_cast<HybridDeviceRecord*>(newDevice->pdevOEM);
        if (oldRecord == nullptr || newRecord == nullptr) return;
        oldRecord->first = newRecord->first;
        from = oldRecord->state;
        to = newRecord->state;
    } else {
        from = static_cast<PluginDeviceState*>(oldDevice->pdevOEM);
        to = static_cast<PluginDeviceState*>(newDevice->pdevOEM);
    }
    if (from == nullptr || to == nullptr || from == to) return;

    ForgetCaptureFile(*to);  // a fresh device has none; one it had would be lost to the copy
    static_cast<CarriedDeviceState&>(*to) = static_cast<const CarriedDeviceState&>(*from);
    // The capture file goes on with the new state: disabling the old device keeps it.
    DisownCaptureFile(*from);
    // The new state carries on the old device's document, two-pass mode
    // included, so it takes over the old device's command store (in place of
    // one of its own). The old state no longer owns it, so that disabling the
    // old device does not destroy it.
    if (from->commandStore != nullptr) {
        DestroyCommandStore(to->commandStore);
        to->commandStore = from->commandStore;
        from->commandStore = nullptr;
        CommandStoreMoveTo(to->commandStore, newDevice, to);
    }
}

}  // namespace xlr
