// The printer description built into xlrender (examples/generic-color-laser.gpd):
// a generic colour PCL XL laser printer at 600 dpi, used when no --printer file
// is given.
#pragma once

#include <string>
#include <string_view>

#include "host/gpd/reader.h"

namespace xlhost {

inline constexpr std::string_view kDefaultPrinterDescriptionName =
    "generic-color-laser.gpd (built in)";

std::string_view DefaultPrinterDescriptionText();

// Reads the description in `path`, or the built-in one when `path` is empty.
GpdReadResult LoadPrinterDescription(const std::string& path);

}  // namespace xlhost
