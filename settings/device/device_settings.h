// The two settings readers that device enable runs: one fills device-state
// fields from printer features, the other completes the settings record.
#pragma once

#include <prcomoem.h>

#include "settings/device/device_state.h"
#include "settings/feature_reader.h"
#include "settings/settings_record.h"

namespace xlr {

// Text as black, job accounting, PJL encoding, poster printing and the
// manual-duplex flag, in that order.
void ReadDeviceSettings(const FeatureReader& features, PluginDeviceState& state);

// Writes the printer-model settings (printer code, colour mode, PDL, maximum
// resolution where still 0; job retention; TrueType-as-bitmap; manual duplex;
// the print-processor class) into the device's settings record and packs it
// back into the device mode. Runs only with a driver helper interface.
void CompleteSettingsRecord(PDEVOBJ device, IPrintOemDriverUni* helper);

// The same on an unpacked record, for callers that hold one.
void CompleteSettingsRecord(const FeatureReader& features, HANDLE printer, SettingsRecord& record);

// 1 the driver family's own print processor, 2 WINPRINT.DLL, 3 another one.
uint32_t PrintProcessorClass(HANDLE printer);

}  // namespace xlr
