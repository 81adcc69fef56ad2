// The device's XML configuration file: the file that the feature
// "KXXMLFileUsed" names, beside the driver's files. It holds commands for
// callbacks the plug-in does not compose itself and the margins of printers
// that emulate another model's.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/feature_reader.h"
#include "settings/xml/xml_config.h"

namespace xlr {

// The reader of the printer's configuration; null when no file is named or the
// name is not a plain file name. A file that cannot be read gives a reader
// whose lookups find nothing.
std::unique_ptr<CKXXmlConfig> OpenXmlConfig(PDEVOBJ device, const FeatureReader& features);

// Unidrv's standard variables of the device, through the driver helper.
StandardVariables DeviceStandardVariables(PDEVOBJ device, IPrintOemDriverUni* helper);

// The command configured for callback `callbackId` and the output kind "PDL",
// expanded with the device's standard variables: its bytes with each zero byte
// written as "$". Nothing when none is configured or it cannot be expanded.
std::optional<std::string> ConfiguredCommand(PDEVOBJ device, PluginDeviceState& state,
                                             DWORD callbackId);

// The physical page offset for emulated margins: when "KXXMLFileUsed" names an
// ".XML" file that has margins for the public device mode's paper, at the
// resolutions of `gdiInfo`. False otherwise (the caller then uses no offset).
bool ReadXmlPageOffset(PDEVOBJ device, const FeatureReader& features, const GDIINFO& gdiInfo,
                       POINTL& offset);

}  // namespace xlr
