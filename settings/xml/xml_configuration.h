// The printer's XML configuration file (named by the feature "KXXMLFileUsed",
// beside the driver's files): commands for callbacks the plug-in does not
// compose itself, and the margins of printers that emulate another model's.
//
// FIXME: the XML configuration reader is not built yet. Until it is, no
// command is configured (callbacks without a composer write nothing) and no
// margin table is found (emulated margins use no physical offset).
#pragma once

#include <optional>
#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/feature_reader.h"

namespace xlr {

// The command configured for callback `callbackId` and the output kind "PDL":
// its bytes with each zero byte written as "$". Nothing when none is
// configured.
std::optional<std::string> ConfiguredCommand(PDEVOBJ device, PluginDeviceState& state,
                                             DWORD callbackId);

// The physical page offset from the configuration's margin table, for
// emulated margins. False when the configuration has none (the caller then
// uses no offset).
bool ReadXmlPageOffset(PDEVOBJ device, const FeatureReader& features, const GDIINFO& gdiInfo,
                       POINTL& offset);

}  // namespace xlr
