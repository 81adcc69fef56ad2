#include "cups/ppd_names.h"

#include <algorithm>
#include <cctype>

namespace xlcups {
namespace {

struct StandardOption {
    std::string_view feature;  // the description's feature
    std::string_view option;   // the PPD option
};

constexpr StandardOption kStandardOptions[] = {
    {"PaperSize", "PageSize"},   {"InputBin", "InputSlot"}, {"MediaType", "MediaType"},
    {"Duplex", "Duplex"},        {"Collate", "Collate"},    {"Resolution", "Resolution"},
    {"ColorMode", "ColorModel"},
};

struct StandardChoice {
    std::string_view feature;
    std::string_view option;  // the description's option keyword
    std::string_view choice;  // the PPD choice
};

// The PPD names of standard papers, duplex modes, colour modes and collation.
constexpr StandardChoice kStandardChoices[] = {
    {"PaperSize", "LETTER", "Letter"},
    {"PaperSize", "LEGAL", "Legal"},
    {"PaperSize", "EXECUTIVE", "Executive"},
    {"PaperSize", "TABLOID", "Tabloid"},
    {"PaperSize", "A3", "A3"},
    {"PaperSize", "A4", "A4"},
    {"PaperSize", "A5", "A5"},
    {"PaperSize", "B4", "B4"},  // JIS B4 and B5, as the PPD names mean them
    {"PaperSize", "B5", "B5"},
    {"PaperSize", "ENV_10", "Env10"},
    {"PaperSize", "ENV_MONARCH", "EnvMonarch"},
    {"PaperSize", "ENV_C5", "EnvC5"},
    {"PaperSize", "ENV_DL", "EnvDL"},
    {"Duplex", "NONE", "None"},
    {"Duplex", "VERTICAL", "DuplexNoTumble"},
    {"Duplex", "HORIZONTAL", "DuplexTumble"},
    {"Collate", "ON", "True"},
    {"Collate", "OFF", "False"},
    {"ColorMode", "Color", "RGB"},
    {"ColorMode", "Mono", "Gray"},
};

// Main keywords of the PPD itself, and the prefixes of keywords that PPD
// syntax gives a meaning (DefaultX, CustomX, ParamCustomX) or that CUPS keeps.
constexpr std::string_view kReservedNames[] = {
    "PageRegion",    "ImageableArea", "PaperDimension", "ModelName", "NickName",
    "ShortNickName", "Manufacturer",  "Product",        "PSVersion", "ColorDevice"};
constexpr std::string_view kReservedPrefixes[] = {"Default", "Custom", "ParamCustom", "cups",
                                                  "xlrender"};

const StandardOption* StandardOf(std::string_view feature) {
    for (const StandardOption& standard : kStandardOptions)
        if (standard.feature == feature) return &standard;
    return nullptr;
}

bool IsReserved(std::string_view name) {
    for (std::string_view reserved : kReservedNames)
        if (name == reserved) return true;
    for (std::string_view prefix : kReservedPrefixes)
        if (name.starts_with(prefix)) return true;
    // A description's own feature may not take the name of a standard option
    // that another of its features becomes.
    for (const StandardOption& standard : kStandardOptions)
        if (name == standard.option) return true;
    return false;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool IsPpdKeyword(std::string_view text) {
    if (text.empty() || text.size() > 40) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c > ' ' && c < 0x7F && c != ':' && c != '/' && c != '*' && c != '"';
    });
}

std::optional<std::string> PpdOptionName(const Feature& feature) {
    if (feature.options.empty()) return std::nullopt;
    if (const StandardOption* standard = StandardOf(feature.name))
        return std::string(standard->option);
    if (feature.name == "Orientation" || feature.displayName.empty() ||
        !IsPpdKeyword(feature.name) || IsReserved(feature.name))
        return std::nullopt;
    return feature.name;
}

std::optional<std::string> PpdChoiceName(const Feature& feature, const FeatureOption& option) {
    for (const StandardChoice& standard : kStandardChoices)
        if (standard.feature == feature.name && standard.option == option.keyword)
            return std::string(standard.choice);
    if (feature.name == "Resolution" && option.dpi && option.dpi->x > 0 && option.dpi->y > 0) {
        std::string name = std::to_string(option.dpi->x);
        if (option.dpi->y != option.dpi->x) name += "x" + std::to_string(option.dpi->y);
        return name + "dpi";
    }
    if (!IsPpdKeyword(option.keyword)) return std::nullopt;
    return option.keyword;
}

const FeatureOption* OptionOfChoice(const Feature& feature, std::string_view choice) {
    for (const FeatureOption& option : feature.options) {
        const auto name = PpdChoiceName(feature, option);
        if (name && EqualNoCase(*name, choice)) return &option;
    }
    return nullptr;
}

bool IsGrayColorModel(std::string_view choice) {
    std::string lower(choice);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    for (std::string_view gray : {"gray", "grey", "mono"})
        if (lower.find(gray) != std::string::npos) return true;
    return false;
}

}  // namespace xlcups
