#include "cups/ppd_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <set>

#include "cups/ppd_names.h"

namespace xlcups {
namespace {

using xlhost::GpdPair;
using xlhost::PrinterDescription;

// The input types the filter takes, as CUPS names them.
constexpr std::string_view kInputTypes[] = {"image/jpeg", "image/png",
                                            "application/vnd.cups-raster"};
constexpr std::string_view kOutputType = "application/vnd.hp-pclxl";

// PostScript code of the standard choices that the raster filters read.
struct ChoiceCode {
    std::string_view option;
    std::string_view choice;
    std::string_view code;
};
constexpr ChoiceCode kChoiceCodes[] = {
    {"Duplex", "None", "<</Duplex false>>setpagedevice"},
    {"Duplex", "DuplexNoTumble", "<</Duplex true/Tumble false>>setpagedevice"},
    {"Duplex", "DuplexTumble", "<</Duplex true/Tumble true>>setpagedevice"},
    {"Collate", "True", "<</Collate true>>setpagedevice"},
    {"Collate", "False", "<</Collate false>>setpagedevice"},
};
// Colour spaces of the raster the filter asks for: 8-bit sGray (18) or sRGB (19).
constexpr std::string_view kGrayCode =
    "<</cupsColorOrder 0/cupsColorSpace 18/cupsBitsPerColor 8>>setpagedevice";
constexpr std::string_view kRgbCode =
    "<</cupsColorOrder 0/cupsColorSpace 19/cupsBitsPerColor 8>>setpagedevice";

// A translation string: at most 80 characters, Latin-1 (the PPD's encoding), with
// ':', '<' and '>' and the characters above ASCII written as hexadecimal.
std::string Translation(std::string_view utf8) {
    std::string out;
    size_t characters = 0;
    for (size_t i = 0; i < utf8.size() && characters < 80; ++characters) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        unsigned code = lead;
        size_t length = 1;
        if (lead >= 0xC0 && lead < 0xE0 && i + 1 < utf8.size()) {
            code = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            length = 2;
        } else if (lead >= 0x80) {
            length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 1;
            code = '?';
        }
        i += length;
        if (code < 0x20 || code == 0x7F) code = ' ';
        if (code == ':' || code == '<' || code == '>' || code >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", code);
            out += hex;
        } else {
            out += static_cast<char>(code);
        }
    }
    return out;
}

// A quoted value of plain printable ASCII.
std::string Quoted(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out += u < 0x20 || u >= 0x7F ? '?' : c == '"' ? '\'' : c;
    }
    return out;
}

// Points with at most two decimals, trailing zeros left off.
std::string Points(double points) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::round(points * 100) / 100);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

std::string DisplayName(const std::string& displayName, const std::string& keyword) {
    return Translation(displayName.empty() ? keyword : displayName);
}

// The PCFileName: the description's file name, upper case, eight letters or digits.
std::string PcFileName(const PrinterDescription& description) {
    std::string stem;
    for (char c : description.fileName) {
        if (c == '.') break;
        if (std::isalnum(static_cast<unsigned char>(c)) && stem.size() < 8)
            stem += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return (stem.empty() ? "XLRENDER" : stem) + ".PPD";
}

struct Choice {
    std::string name;
    std::string display;
    std::string code;
    const FeatureOption* option = nullptr;
};

// The choices of a feature that a PPD can name, each name once (CUPS compares
// choices without regard to case).
std::vector<Choice> ChoicesOf(const Feature& feature, std::vector<std::string>& warnings) {
    std::vector<Choice> choices;
    std::set<std::string> seen;
    for (const FeatureOption& option : feature.options) {
        const auto name = PpdChoiceName(feature, option);
        if (!name) {
            warnings.push_back(feature.name + ": option '" + option.keyword +
                               "' has no name a PPD can hold; left out");
            continue;
        }
        std::string folded = *name;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (!seen.insert(folded).second) {
            warnings.push_back(feature.name + ": option '" + option.keyword +
                               "' would be a second choice '" + *name + "'; left out");
            continue;
        }
        choices.push_back({*name, DisplayName(option.displayName, option.keyword), "", &option});
    }
    return choices;
}

class PpdText {
  public:
    void Line(const std::string& line) { text_ += line + "\n"; }

    void Option(const std::string& name, const std::string& display, bool boolean, int order,
                const std::vector<Choice>& choices, const std::string& defaultChoice) {
        Line("*OpenUI *" + name + "/" + display + ": " + (boolean ? "Boolean" : "PickOne"));
        Line("*OrderDependency: " + std::to_string(order) + " AnySetup *" + name);
        Line("*Default" + name + ": " + defaultChoice);
        for (const Choice& choice : choices)
            Line("*" + name + " " + choice.name + "/" + choice.display + ": \"" + choice.code +
                 "\"");
        Line("*CloseUI: *" + name);
    }

    std::string Take() { return std::move(text_); }

  private:
    std::string text_;
};

std::string DefaultChoice(const Feature& feature, const std::vector<Choice>& choices) {
    for (const Choice& choice : choices)
        if (choice.option->keyword == feature.defaultOption) return choice.name;
    return choices.front().name;
}

struct PaperLines {
    std::vector<Choice> sizes;  // code: the page size
    std::vector<std::string> imageable, dimensions;
};

std::optional<PaperLines> PaperSizes(const PrinterDescription& description, const Feature& paper,
                                     std::vector<std::string>& warnings) {
    if (!description.masterUnits || description.masterUnits->x <= 0 ||
        description.masterUnits->y <= 0)
        return std::nullopt;
    const double perX = 72.0 / double(description.masterUnits->x);
    const double perY = 72.0 / double(description.masterUnits->y);
    PaperLines lines;
    for (Choice& choice : ChoicesOf(paper, warnings)) {
        const FeatureOption& option = *choice.option;
        if (!option.pageDimensions || option.pageDimensions->x <= 0 ||
            option.pageDimensions->y <= 0) {
            warnings.push_back("PaperSize: option '" + option.keyword +
                               "' has no page dimensions; left out");
            continue;
        }
        const GpdPair page = *option.pageDimensions;
        const GpdPair origin = option.printableOrigin.value_or(GpdPair{0, 0});
        const GpdPair area =
            option.printableArea.value_or(GpdPair{page.x - origin.x, page.y - origin.y});
        const std::string width = Points(page.x * perX), length = Points(page.y * perY);
        choice.code = "<</PageSize[" + width + " " + length + "]/ImagingBBox null>>setpagedevice";
        // Imageable area: lower left and upper right corners, from the bottom of the page.
        lines.imageable.push_back(
            "*ImageableArea " + choice.name + "/" + choice.display + ": \"" +
            Points(origin.x * perX) + " " + Points((page.y - origin.y - area.y) * perY) + " " +
            Points((origin.x + area.x) * perX) + " " + Points((page.y - origin.y) * perY) + "\"");
        lines.dimensions.push_back("*PaperDimension " + choice.name + "/" + choice.display +
                                   ": \"" + width + " " + length + "\"");
        lines.sizes.push_back(std::move(choice));
    }
    if (lines.sizes.empty()) return std::nullopt;
    return lines;
}

}  // namespace

PpdResult WritePpd(const PrinterDescription& description, std::string_view descriptionPath) {
    PpdResult result;
    if (descriptionPath.find_first_of("\"<>\n\r") != std::string_view::npos) {
        result.error =
            "the description's path cannot be written into a PPD: " + std::string(descriptionPath);
        return result;
    }
    const Feature* paper = description.FindFeature("PaperSize");
    std::optional<PaperLines> papers;
    if (paper != nullptr) papers = PaperSizes(description, *paper, result.warnings);
    if (!papers) {
        result.error = description.fileName +
                       ": no paper size with page dimensions (and master "
                       "units) to make a PPD with";
        return result;
    }

    const std::string model =
        description.modelName.empty() ? "xlrender printer" : Quoted(description.modelName);
    const std::string maker = model.substr(0, model.find(' '));
    const Feature* color = description.FindFeature("ColorMode");
    bool colorDevice = false;
    if (color != nullptr)
        for (const FeatureOption& option : color->options) {
            const auto name = PpdChoiceName(*color, option);
            colorDevice = colorDevice || (name && !IsGrayColorModel(*name));
        }

    PpdText ppd;
    ppd.Line("*PPD-Adobe: \"4.3\"");
    ppd.Line("*% A CUPS queue that prints through the xlrender plug-in, made by 'xlrender ppd'");
    ppd.Line("*% from " + Quoted(description.fileName) + ".");
    ppd.Line("*FormatVersion: \"4.3\"");
    ppd.Line("*FileVersion: \"" XLRENDER_VERSION "\"");
    ppd.Line("*LanguageVersion: English");
    ppd.Line("*LanguageEncoding: ISOLatin1");
    ppd.Line("*PCFileName: \"" + PcFileName(description) + "\"");
    ppd.Line("*Manufacturer: \"" + maker + "\"");
    ppd.Line("*Product: \"(" + model + ")\"");
    ppd.Line("*ModelName: \"" + model + "\"");
    ppd.Line("*ShortNickName: \"" + model.substr(0, 31) + "\"");
    ppd.Line("*NickName: \"" + model + ", xlrender " XLRENDER_VERSION "\"");
    ppd.Line("*PSVersion: \"(3010.000) 0\"");
    ppd.Line("*LanguageLevel: \"3\"");
    ppd.Line(std::string("*ColorDevice: ") + (colorDevice ? "True" : "False"));
    ppd.Line(std::string("*DefaultColorSpace: ") + (colorDevice ? "RGB" : "Gray"));
    ppd.Line("*FileSystem: False");
    ppd.Line("*Throughput: \"1\"");
    ppd.Line("*cupsVersion: 2.4");
    ppd.Line("*% The filter makes copies itself, collated or not.");
    ppd.Line("*cupsManualCopies: False");
    for (std::string_view input : kInputTypes)
        ppd.Line("*cupsFilter2: \"" + std::string(input) + " " + std::string(kOutputType) + " 0 " +
                 std::string(kFilterProgram) + "\"");
    if (!descriptionPath.empty())
        ppd.Line("*" + std::string(kDescriptionKeyword) + ": \"" + std::string(descriptionPath) +
                 "\"");

    // Paper: PageSize and PageRegion, with their imageable areas and dimensions.
    const std::string paperDisplay = DisplayName(paper->displayName, "Paper Size");
    const std::string paperDefault = DefaultChoice(*paper, papers->sizes);
    ppd.Option("PageSize", paperDisplay, false, 10, papers->sizes, paperDefault);
    ppd.Option("PageRegion", paperDisplay, false, 10, papers->sizes, paperDefault);
    ppd.Line("*DefaultImageableArea: " + paperDefault);
    for (const std::string& line : papers->imageable) ppd.Line(line);
    ppd.Line("*DefaultPaperDimension: " + paperDefault);
    for (const std::string& line : papers->dimensions) ppd.Line(line);

    // Every other feature a user chooses.
    std::set<std::string> used{"PageSize"};
    int order = 20;
    for (const Feature& feature : description.features) {
        if (&feature == paper) continue;
        const auto name = PpdOptionName(feature);
        if (!name) {
            if (!feature.displayName.empty() && feature.name != "Orientation" &&
                !feature.options.empty())
                result.warnings.push_back(feature.name +
                                          ": no name a PPD option can take; left out");
            continue;
        }
        if (!used.insert(*name).second) {
            result.warnings.push_back(feature.name + ": a second PPD option '" + *name +
                                      "'; left out");
            continue;
        }
        std::vector<Choice> choices = ChoicesOf(feature, result.warnings);
        if (choices.empty()) continue;
        for (Choice& choice : choices) {
            for (const ChoiceCode& code : kChoiceCodes)
                if (*name == code.option && choice.name == code.choice) choice.code = code.code;
            if (*name == "Resolution" && choice.option->dpi)
                choice.code = "<</HWResolution[" + std::to_string(choice.option->dpi->x) + " " +
                              std::to_string(choice.option->dpi->y) + "]>>setpagedevice";
            if (*name == "ColorModel")
                choice.code = IsGrayColorModel(choice.name) ? kGrayCode : kRgbCode;
        }
        const bool boolean = *name == "Collate" && choices.size() == 2;
        ppd.Option(
            *name, DisplayName(feature.displayName, feature.name), boolean,
            *name == "Resolution" || *name == "ColorModel" || *name == "Duplex" ? 10 : order++,
            choices, DefaultChoice(feature, choices));
    }
    // A printer without colour modes of its own still gets raster the filter
    // reads: RGB, which loses nothing; the plug-in and the printer decide the rest.
    if (!used.count("ColorModel")) {
        Choice rgb{"RGB", "Color", std::string(kRgbCode), nullptr};
        ppd.Option("ColorModel", "Color Mode", false, 10, {rgb}, "RGB");
    }
    ppd.Line("*% End of the PPD");
    result.text = ppd.Take();
    return result;
}

}  // namespace xlcups
