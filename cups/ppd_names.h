// The names that a printer description's features and options take in a PPD
// file. Features that mirror a standard PPD option take its name and choices,
// which CUPS and its filters understand (PaperSize is PageSize, Duplex's
// VERTICAL is DuplexNoTumble, ColorMode's Mono is Gray …); the others keep the
// description's own names. The PPD writer and the filter both name them here,
// so that a choice marked in a queue's PPD finds its option again.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/gpd/printer_description.h"

namespace xlcups {

using xlhost::Feature;
using xlhost::FeatureOption;

// Whether the text can be a PPD option or choice keyword: 1 to 40 printable
// ASCII characters other than ':', '/', '*' and '"'.
bool IsPpdKeyword(std::string_view text);

// The PPD option of a feature, or nothing when the feature is not offered in a
// PPD: Orientation (CUPS turns the pages itself), features without a display
// name (properties of the printer model rather than choices for a user), and
// names a PPD cannot hold or that PPD keywords of their own already use.
std::optional<std::string> PpdOptionName(const Feature& feature);

// The PPD choice of one of the feature's options, or nothing when the option
// has no name a PPD can hold. Resolutions are named after their dots per inch
// ("600dpi", "600x300dpi").
std::optional<std::string> PpdChoiceName(const Feature& feature, const FeatureOption& option);

// The option of `feature` whose PPD choice is `choice` (compared without regard
// to case, as CUPS compares choices), or null.
const FeatureOption* OptionOfChoice(const Feature& feature, std::string_view choice);

// Whether a ColorModel choice asks the raster filters for grey rather than RGB:
// "Gray", and choices of the description's own whose names say grey or mono.
bool IsGrayColorModel(std::string_view choice);

}  // namespace xlcups
