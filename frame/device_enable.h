// EnablePDEV, DisablePDEV and ResetPDEV: the life of the plug-in device state.
#pragma once

#include <prcomoem.h>

#include "settings/device/device_state.h"

namespace xlr {

// Builds the device state from the feature settings, the private settings and
// Unidrv's graphics information (which it may adjust). Returns null, with the
// device's pdevOEM cleared, on failure.
PluginDeviceState* EnableDeviceState(PDEVOBJ device, IPrintOemDriverUni* helper, GDIINFO* gdiInfo,
                                     DEVINFO* devInfo, const DRVENABLEDATA* unidrv);

// Frees the device's state and what it owns.
void DisableDeviceState(PDEVOBJ device);

// Carries the document's state from the old device to the new one.
void ResetDeviceState(PDEVOBJ oldDevice, PDEVOBJ newDevice);

}  // namespace xlr
