#include "host/public_devmode.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>

#include <xlplatform/world.h>

#include "settings/packed_block.h"
#include "settings/paper_region.h"

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

struct Paper {
    const char* name;
    const char16_t* formName;
    short number;
    short width;  // tenths of a millimetre
    short length;
};

constexpr Paper kPapers[] = {
    {"letter", u"Letter", DMPAPER_LETTER, 2159, 2794},
    {"legal", u"Legal", DMPAPER_LEGAL, 2159, 3556},
    {"executive", u"Executive", DMPAPER_EXECUTIVE, 1842, 2667},
    {"tabloid", u"Tabloid", DMPAPER_TABLOID, 2794, 4318},
    {"a3", u"A3", DMPAPER_A3, 2970, 4200},
    {"a4", u"A4", DMPAPER_A4, 2100, 2970},
    {"a5", u"A5", DMPAPER_A5, 1480, 2100},
    {"b4", u"B4 (JIS)", DMPAPER_B4, 2570, 3640},
    {"b5", u"B5 (JIS)", DMPAPER_B5, 1820, 2570},
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
template <size_t N>
std::optional<long> Choose(const ParsedArgs& args, std::string_view option,
                           const Keyword (&table)[N], long low, long high, std::string& error) {
    auto text = args.Value(option);
    if (!text) return std::nullopt;
    const std::string wanted = Lower(*text);
    for (const Keyword& keyword : table)
        if (wanted == keyword.name) return keyword.value;
    if (high >= low)
        if (auto number = ParseNumber(wanted, low, high)) return number;
    error = "unknown --" + std::string(option) + " value '" + *text + "'";
    return std::nullopt;
}

void SetPaper(DEVMODEW& devmode, const Paper& paper) {
    devmode.dmPaperSize = paper.number;
    devmode.dmPaperWidth = paper.width;
    devmode.dmPaperLength = paper.length;
    std::memset(devmode.dmFormName, 0, sizeof devmode.dmFormName);
    std::u16string_view name(paper.formName);
    std::memcpy(devmode.dmFormName, name.data(), name.size() * sizeof(WCHAR));
}

}  // namespace

std::span<const OptionSpec> PublicDevModeOptionSpecs() {
    return kOptions;
}

bool MakePublicDevMode(const ParsedArgs& args, DEVMODEW& devmode, std::string& error) {
    devmode = DEVMODEW{};
    const std::u16string_view device = u"xlrender PCL XL Color Laser";
    std::memcpy(devmode.dmDeviceName, device.data(), device.size() * sizeof(WCHAR));
    devmode.dmSpecVersion = 0x0401;
    devmode.dmDriverVersion = 0x0600;
    devmode.dmSize = sizeof(DEVMODEW);
    devmode.dmDriverExtra = xlr::kPackedBlockSize;
    devmode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_SCALE |
                       DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX |
                       DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE | DM_FORMNAME | DM_ICMMETHOD |
                       DM_ICMINTENT | DM_MEDIATYPE;
    devmode.dmOrientation = DMORIENT_PORTRAIT;
    SetPaper(devmode,
             xlr::DefaultPaperRegion() == xlr::kPaperRegionLetter ? kPapers[0] : kPapers[5]);
    devmode.dmScale = 100;
    devmode.dmCopies = 1;
    devmode.dmDefaultSource = DMBIN_AUTO;
    devmode.dmPrintQuality = 600;
    devmode.dmYResolution = 600;
    devmode.dmColor = DMCOLOR_COLOR;
    devmode.dmDuplex = DMDUP_SIMPLEX;
    devmode.dmTTOption = DMTT_DOWNLOAD;
    devmode.dmCollate = DMCOLLATE_TRUE;
    devmode.dmICMMethod = DMICMMETHOD_SYSTEM;
    devmode.dmICMIntent = DMICM_CONTRAST;
    devmode.dmMediaType = DMMEDIA_STANDARD;

    error.clear();
    if (auto paper = args.Value("paper")) {
        const std::string wanted = Lower(*paper);
        const Paper* found = nullptr;
        for (const Paper& candidate : kPapers)
            if (wanted == candidate.name) found = &candidate;
        if (found != nullptr) {
            SetPaper(devmode, *found);
        } else if (auto number = ParseNumber(wanted, 1, 32767)) {
            devmode.dmPaperSize = static_cast<short>(*number);
        } else {
            error = "unknown --paper value '" + *paper + "'";
            return false;
        }
    }
    if (auto v = Choose(args, "orientation", kOrientations, 1, 0, error))
        devmode.dmOrientation = static_cast<short>(*v);
    if (auto v = Choose(args, "color", kColors, 1, 0, error))
        devmode.dmColor = static_cast<short>(*v);
    if (auto v = Choose(args, "duplex", kDuplexes, 1, 0, error))
        devmode.dmDuplex = static_cast<short>(*v);
    if (auto v = Choose(args, "tt-option", kTrueTypeOptions, 1, 0, error))
        devmode.dmTTOption = static_cast<short>(*v);
    if (auto v = Choose(args, "source", kSources, 1, 32767, error))
        devmode.dmDefaultSource = static_cast<short>(*v);
    if (auto v = Choose(args, "media-type", kMediaTypes, 1, 0x7FFFFFFF, error))
        devmode.dmMediaType = static_cast<DWORD>(*v);
    if (!error.empty()) return false;
    if (auto copies = args.Value("copies")) {
        auto number = ParseNumber(*copies, 1, 9999);
        if (!number) {
            error = "--copies wants a number from 1 to 9999, not '" + *copies + "'";
            return false;
        }
        devmode.dmCopies = static_cast<short>(*number);
    }
    if (args.Has("collate") && args.Has("no-collate")) {
        error = "--collate and --no-collate contradict each other";
        return false;
    }
    if (args.Has("collate")) devmode.dmCollate = DMCOLLATE_TRUE;
    if (args.Has("no-collate")) devmode.dmCollate = DMCOLLATE_FALSE;
    return true;
}

bool IsPaperChoice(std::string_view text) {
    const std::string wanted = Lower(std::string(text));
    for (const Paper& paper : kPapers)
        if (wanted == paper.name) return true;
    return ParseNumber(wanted, 1, 32767).has_value();
}

}  // namespace xlhost
