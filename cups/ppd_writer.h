// The PPD file of a CUPS queue made from a printer description: the model's
// names, the xlrender-cups filter for JPEG, PNG and CUPS raster input, and one
// option per feature a user chooses (ppd_names.h), with the paper sizes in
// points and the PostScript code by which the raster filters learn the page
// size, resolution, colour space and duplex mode.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/gpd/printer_description.h"

namespace xlcups {

// The main keyword that names the description the queue prints with.
inline constexpr std::string_view kDescriptionKeyword = "xlrenderPrinterDescription";
// The filter program that the PPD names.
inline constexpr std::string_view kFilterProgram = "xlrender-cups";

struct PpdResult {
    std::string text;
    std::vector<std::string> warnings;  // features and options left out, and why
    std::optional<std::string> error;   // set when no PPD could be made
};

// `descriptionPath` is where the filter will read the description (an absolute
// path); empty for the description built into xlrender. Fails when the
// description has no paper size with dimensions, or the path cannot be written
// into a PPD.
PpdResult WritePpd(const xlhost::PrinterDescription& description, std::string_view descriptionPath);

}  // namespace xlcups
