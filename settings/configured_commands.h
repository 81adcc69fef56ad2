// The device's XML configuration: the file that the feature KXXMLFileUsed names
// in the driver directory, and the commands it configures for callbacks the
// plug-in does not compose itself.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <prcomoem.h>

#include "settings/feature_reader.h"
#include "settings/xml/xml_config.h"

namespace xlr {

// The reader of the printer's configuration; null when no file is named or the
// name is not a plain file name. A file that cannot be read gives a reader
// whose lookups find nothing.
std::unique_ptr<CKXXmlConfig> OpenXmlConfig(PDEVOBJ device, const FeatureReader& features);

// Unidrv's standard variables of the device, through the driver helper.
StandardVariables DeviceStandardVariables(PDEVOBJ device, IPrintOemDriverUni* helper);

// The expanded command configured for `callbackId` for the page description
// language ("PDL"), with "$" still standing for zero bytes; nothing when the
// printer has no configuration or it holds no usable command for the id.
std::optional<std::string> ConfiguredCallbackCommand(PDEVOBJ device, IPrintOemDriverUni* helper,
                                                     DWORD callbackId);

}  // namespace xlr
