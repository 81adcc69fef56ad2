// The plug-in device state: one per device context, from EnablePDEV to
// DisablePDEV. Hooks, escapes and callbacks find it from the DEVOBJ.
#pragma once

#include <cstdint>

#include <prcomoem.h>
#include <winddi.h>

#include "settings/device/hook_slots.h"

namespace xlr {

class CCmdStore;
struct ImageSlice;

constexpr int kMaxLogicalPages = 16;

struct WatermarkPage {
    int32_t ordinal;
    int32_t box[4];        // left, top, right, bottom
    uint16_t orientation;  // 1 portrait, 2 landscape, 0 no page in the slot
};

struct WatermarkAngleEntry {
    float angle;
    uint16_t fontId;
};

// Photo enhancement levels: "Off" 99, "On" -99, "Low" -1, "Medium" 0, "High" 1.
constexpr int32_t kEnhanceNotSet = -99;
constexpr int32_t kEnhanceOff = 99;

// What a device reset (ResetPDEV) carries from the old device's state into the
// new one, copied whole: the document's progress, the choices read at enable,
// the sheet's watermark and the two-pass mode. Fields in their order of use.
struct CarriedDeviceState {
    int32_t watermarkFrame[4];
    int32_t watermarkCount;
    float watermarkScale;
    int32_t watermarkParam;
    WatermarkPage watermarkPages[kMaxLogicalPages];
    uint32_t pageCount;
    int32_t textAsBlack;
    int32_t afterTextAsBlack;  // cleared at enable
    int32_t jobAccounting;
    int32_t autoDuplexScaling;  // 0 feature absent, 1 scaling on, 2 present otherwise
    int32_t emulateMargins;
    int32_t symmetricMargins;
    int32_t jobDataType;  // 0 unknown, 1 not raw, 2 RAW
    uint32_t jobId;
    int32_t watermarkFontReady;
    uint16_t lastOrientation;
    uint32_t watermarkCharCodes[256];
    WatermarkAngleEntry watermarkAngles[4];
    int32_t watermarkAngleFound;
    int32_t watermarkAngleSlot;
    int32_t reverseOrderForDuplex;
    int32_t duplexRotateEnabled;
    int32_t mapManualFeedToTray1;
    int32_t manualDuplexModal;
    int32_t manualDuplexOddFirstOff;
    uint16_t savedOrientation;
    int32_t mediaManualDuplex;
    int32_t rotate180;
    int32_t afterRotate180;  // cleared at enable
    WCHAR retentionUserName[17];
    WCHAR retentionJobName[17];
    WCHAR documentName[256];
    int32_t deviceIsVellex;  // the device collates copies itself
    int32_t smartDuplexSinglePage;
    int32_t smartDuplexOddPage;
    int32_t shiftMarginsForRotate180;
    int32_t alternateLetterhead;
    WCHAR watermarkTextCache[256];
    int32_t speedMechFlags;
    int32_t speedMech;
    int32_t speedMechSimplex;
    int32_t speedMechMode;
    int32_t preAnalysis;
    int32_t suppressOutput;
    uint8_t redEyeReduction;
    int32_t contrast;
    int32_t sharpness;
    int32_t smoothing;
    int32_t smartFocus;
    int32_t digitalFlash;
    int32_t resolution;
    uint16_t contentOrientation;  // 0 none, 1 PORTRAIT, 2 LANDSCAPE
    WCHAR usbSerialNumber[256];
    int32_t captureActive;
    char capturePath[260];  // UTF-8, so that the wide name of the file comes back whole
    // Collated copies were wanted but could not be captured: pages carry the
    // copies variable instead, so that nothing is lost (uncollated).
    int32_t captureFailed;
};

// Allocated zero-filled from the process heap; every field not set by
// EnablePDEV starts at zero. The carried part comes first; the rest belongs to
// this device alone.
struct PluginDeviceState : CarriedDeviceState {
    PFN unidrvHooks[kHookCount];  // Unidrv's own functions, in hook-table order
    int32_t printableWidth;
    int32_t printableHeight;
    int32_t marginX;
    int32_t marginY;
    int32_t physOffsetX;
    int32_t physOffsetY;
    int32_t customRangeLow;
    int32_t customRangeHigh;
    int32_t pjlEncoding;
    int32_t pcl6PassThrough;
    int32_t colorMode;                 // 0 unset, 1 "Mono", 2 other
    IPrintOemDriverUni* driverHelper;  // borrowed from the plug-in object
    int32_t jpegMode;                  // 0 off, 1 Auto, 2 Best, 3 Maximum
    int32_t posterPrinting;
    int32_t posterOption;
    uint8_t pngPassThrough;
    CCmdStore* commandStore;  // owned; present only while preAnalysis is 1
    ImageSlice* imageSlice;
    int32_t skipSenderOnce;
    int32_t retentionSent;
    int32_t duplexOverride;
};

// The record pdevOEM points to while the hybrid path is on: the state is its
// second word.
struct HybridDeviceRecord {
    void* first;
    PluginDeviceState* state;
};

// The process-wide hybrid-path flag, written by every EnablePDEV.
uint32_t HybridPathFlag();
void SetHybridPathFlag(uint32_t flag);

// The device's state by the hybrid-path rule; null without a device or state.
PluginDeviceState* DeviceState(PDEVOBJ device);

// The device of a surface (its device handle is the DEVOBJ); null when the
// surface has none.
PDEVOBJ DeviceOfSurface(SURFOBJ* surface);

// Unidrv's own function for a hook slot, or null where Unidrv has none.
template <typename Fn>
Fn UnidrvHook(const PluginDeviceState& state, HookSlot slot) {
    return FunctionCast<Fn>(state.unidrvHooks[slot]);
}

// A zero-filled state, or null; freed with FreeDeviceState.
PluginDeviceState* NewDeviceState();
void FreeDeviceState(PluginDeviceState* state);

}  // namespace xlr
