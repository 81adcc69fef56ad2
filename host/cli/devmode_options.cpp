#include "host/cli/devmode_options.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

namespace xlhost {
namespace {

constexpr OptionSpec kOptions[] = {
    {"paper", "NAME|NUMBER",
     "letter, legal, executive, tabloid, a3, a4, a5, b4, b5 or a DMPAPER number"},
    {"orientation", "portrait|landscape", "page orientation"},
    {"copies", "N", "number of copies (1-9999)"},
    {"collate", "", "collate copies"},
    {"no-collate", "", "do not collate copies"},
    {"color", "color|mono", "colour or monochrome"},
    {"duplex", "simplex|long|short", "one-sided, or two-sided along the long or short edge"},
    {"tt-option", "bitmap|download|substitute|outline", "how TrueType fonts are printed"},
    {"source", "auto|upper|lower|manual|NUMBER", "paper source (dmDefaultSource)"},
    {"media-type", "standard|transparency|glossy|NUMBER", "media type (dmMediaType)"},
};

struct Keyword {
    const char* name;
    long value;
};

constexpr Keyword kOrientations[] = {{"portrait", DMORIENT_PORTRAIT},
                                     {"landscape", DMORIENT_LANDSCAPE}};
constexpr Keyword kColors[] = {
    {"color", DMCOLOR_COLOR}, {"colour", DMCOLOR_COLOR}, {"mono", DMCOLOR_MONOCHROME}};
constexpr Keyword kDuplexes[] = {
    {"simplex", DMDUP_SIMPLEX}, {"long", DMDUP_VERTICAL}, {"short", DMDUP_HORIZONTAL}};
constexpr Keyword kTrueTypeOptions[] = {{"bitmap", DMTT_BITMAP},
                                        {"download", DMTT_DOWNLOAD},
                                        {"substitute", DMTT_SUBDEV},
                                        {"outline", DMTT_DOWNLOAD_OUTLINE}};
constexpr Keyword kSources[] = {
    {"auto", DMBIN_AUTO}, {"upper", DMBIN_UPPER}, {"lower", DMBIN_LOWER}, {"manual", DMBIN_MANUAL}};
constexpr Keyword kMediaTypes[] = {{"standard", DMMEDIA_STANDARD},
                                   {"transparency", DMMEDIA_TRANSPARENCY},
                                   {"glossy", DMMEDIA_GLOSSY}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A keyword of the table, or (when numbers are allowed) a number in range.
// A bad value sets `error` and leaves the choice unset; later options are
// still read, so the message names the last bad one.
template <typename T, size_t N>
void Choose(const ParsedArgs& args, std::string_view option, const Keyword (&table)[N], long low,
            long high, std::optional<T>& choice, std::string& error) {
    auto text = args.Value(option);
    if (!text) return;
    const std::string wanted = Lower(*text);
    for (const Keyword& keyword : table)
        if (wanted == keyword.name) {
            choice = static_cast<T>(keyword.value);
            return;
        }
    if (high >= low)
        if (auto number = ParseNumber(wanted, low, high)) {
            choice = static_cast<T>(*number);
            return;
        }
    error = "unknown --" + std::string(option) + " value '" + *text + "'";
}

}  // namespace

std::span<const OptionSpec> DevModeOptionSpecs() {
    return kOptions;
}

bool ReadDevModeOptions(const ParsedArgs& args, DevModeChoices& choices, std::string& error) {
    choices = DevModeChoices{};
    error.clear();
    if (auto paper = args.Value("paper")) {
        if (!IsPaperChoice(*paper)) {
            error = "unknown --paper value '" + *paper + "'";
            return false;
        }
        choices.paper = *paper;
    }
    Choose(args, "orientation", kOrientations, 1, 0, choices.orientation, error);
    Choose(args, "color", kColors, 1, 0, choices.color, error);
    Choose(args, "duplex", kDuplexes, 1, 0, choices.duplex, error);
    Choose(args, "tt-option", kTrueTypeOptions, 1, 0, choices.ttOption, error);
    Choose(args, "source", kSources, 1, 32767, choices.defaultSource, error);
    Choose(args, "media-type", kMediaTypes, 1, 0x7FFFFFFF, choices.mediaType, error);
    if (!error.empty()) return false;
    if (auto copies = args.Value("copies")) {
        auto number = ParseNumber(*copies, 1, 9999);
        if (!number) {
            error = "--copies wants a number from 1 to 9999, not '" + *copies + "'";
            return false;
        }
        choices.copies = static_cast<short>(*number);
    }
    if (args.Has("collate") && args.Has("no-collate")) {
        error = "--collate and --no-collate contradict each other";
        return false;
    }
    if (args.Has("collate")) choices.collate = true;
    if (args.Has("no-collate")) choices.collate = false;
    return true;
}

}  // namespace xlhost
