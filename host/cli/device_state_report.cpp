// The host is built with the plug-in's own headers, so it can read the device
// state that the plug-in leaves behind pdevOEM: a diagnostic view only.
#include "host/cli/device_state_report.h"

#include <cstdio>

#include <xlplatform/world.h>

#include "settings/device/device_state.h"

namespace xlhost {
namespace {

void Line(std::string& out, const char* name, long long value) {
    char text[96];
    std::snprintf(text, sizeof text, "  %-26s %lld\n", name, value);
    out += text;
}

void Change(std::string& out, const char* name, long long before, long long after) {
    char text[128];
    if (before == after)
        std::snprintf(text, sizeof text, "  %-26s %lld\n", name, after);
    else
        std::snprintf(text, sizeof text, "  %-26s %lld -> %lld\n", name, before, after);
    out += text;
}

}  // namespace

std::string DeviceStateReport(UnidrvDevice& device) {
    std::string out;
    const auto* state = static_cast<const xlr::PluginDeviceState*>(device.PluginState());
    if (state == nullptr) return "no plug-in device state\n";
    out += "device state after EnablePDEV\n";
    int hooks = 0;
    for (PFN hook : state->unidrvHooks) hooks += hook != nullptr ? 1 : 0;
    Line(out, "unidrvHooks (found)", hooks);
    Line(out, "textAsBlack", state->textAsBlack);
    Line(out, "jobAccounting", state->jobAccounting);
    Line(out, "pjlEncoding", state->pjlEncoding);
    Line(out, "autoDuplexScaling", state->autoDuplexScaling);
    Line(out, "emulateMargins", state->emulateMargins);
    Line(out, "symmetricMargins", state->symmetricMargins);
    Line(out, "printableWidth", state->printableWidth);
    Line(out, "printableHeight", state->printableHeight);
    Line(out, "marginX", state->marginX);
    Line(out, "marginY", state->marginY);
    Line(out, "physOffsetX", state->physOffsetX);
    Line(out, "physOffsetY", state->physOffsetY);
    Line(out, "customRangeLow", state->customRangeLow);
    Line(out, "customRangeHigh", state->customRangeHigh);
    Line(out, "pcl6PassThrough", state->pcl6PassThrough);
    Line(out, "reverseOrderForDuplex", state->reverseOrderForDuplex);
    Line(out, "duplexRotateEnabled", state->duplexRotateEnabled);
    Line(out, "mapManualFeedToTray1", state->mapManualFeedToTray1);
    Line(out, "manualDuplexModal", state->manualDuplexModal);
    Line(out, "manualDuplexOddFirstOff", state->manualDuplexOddFirstOff);
    Line(out, "savedOrientation", state->savedOrientation);
    Line(out, "rotate180", state->rotate180);
    Line(out, "deviceIsVellex", state->deviceIsVellex);
    Line(out, "jpegMode", state->jpegMode);
    Line(out, "smartDuplexSinglePage", state->smartDuplexSinglePage);
    Line(out, "smartDuplexOddPage", state->smartDuplexOddPage);
    Line(out, "posterPrinting", state->posterPrinting);
    Line(out, "posterOption", state->posterOption);
    Line(out, "shiftMarginsForRotate180", state->shiftMarginsForRotate180);
    Line(out, "alternateLetterhead", state->alternateLetterhead);
    Line(out, "speedMech", state->speedMech);
    Line(out, "speedMechSimplex", state->speedMechSimplex);
    Line(out, "pngPassThrough", state->pngPassThrough);
    Line(out, "resolution", state->resolution);
    Line(out, "hybridPath", device.HybridPath() ? 1 : 0);

    const GDIINFO& before = device.UnidrvGdiInfo();
    const GDIINFO& after = device.GdiInfo();
    out += "\nGDIINFO (Unidrv -> after the plug-in)\n";
    Change(out, "ulHorzRes", before.ulHorzRes, after.ulHorzRes);
    Change(out, "ulVertRes", before.ulVertRes, after.ulVertRes);
    Change(out, "ptlPhysOffset.x", before.ptlPhysOffset.x, after.ptlPhysOffset.x);
    Change(out, "ptlPhysOffset.y", before.ptlPhysOffset.y, after.ptlPhysOffset.y);
    Change(out, "szlPhysSize.cx", before.szlPhysSize.cx, after.szlPhysSize.cx);
    Change(out, "szlPhysSize.cy", before.szlPhysSize.cy, after.szlPhysSize.cy);
    Change(out, "ulLogPixelsX", before.ulLogPixelsX, after.ulLogPixelsX);
    Change(out, "cBitsPixel", before.cBitsPixel, after.cBitsPixel);
    Change(out, "ulNumColors", before.ulNumColors, after.ulNumColors);
    const DEVINFO& devBefore = device.UnidrvDevInfo();
    const DEVINFO& devAfter = device.DevInfo();
    out += "\nDEVINFO (Unidrv -> after the plug-in)\n";
    Change(out, "flGraphicsCaps", devBefore.flGraphicsCaps, devAfter.flGraphicsCaps);
    Change(out, "flGraphicsCaps2", devBefore.flGraphicsCaps2, devAfter.flGraphicsCaps2);
    return out;
}

}  // namespace xlhost
