#include "host/unidrv/public_devmode.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>

#include <xlplatform/world.h>

#include "settings/packed_block.h"
#include "settings/paper_region.h"

namespace xlhost {
namespace {

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

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A whole decimal number within [low, high].
std::optional<long> ParseNumber(std::string_view text, long low, long high) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) return std::nullopt;
    return value;
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

bool MakePublicDevMode(const DevModeChoices& choices, DEVMODEW& devmode, std::string& error) {
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
    if (const auto& paper = choices.paper) {
        const std::string wanted = Lower(*paper);
        const auto number = ParseNumber(wanted, 1, 32767);
        // A known paper given by number gets its size and form name too, so that
        // the device mode does not name one paper and measure another.
        const Paper* found = nullptr;
        for (const Paper& candidate : kPapers)
            if (wanted == candidate.name || (number && *number == candidate.number))
                found = &candidate;
        if (found != nullptr) {
            SetPaper(devmode, *found);
        } else if (number) {
            devmode.dmPaperSize = static_cast<short>(*number);
        } else {
            error = "unknown paper '" + *paper + "'";
            return false;
        }
    }
    devmode.dmOrientation = choices.orientation.value_or(devmode.dmOrientation);
    devmode.dmColor = choices.color.value_or(devmode.dmColor);
    devmode.dmDuplex = choices.duplex.value_or(devmode.dmDuplex);
    devmode.dmTTOption = choices.ttOption.value_or(devmode.dmTTOption);
    devmode.dmDefaultSource = choices.defaultSource.value_or(devmode.dmDefaultSource);
    devmode.dmMediaType = choices.mediaType.value_or(devmode.dmMediaType);
    devmode.dmCopies = choices.copies.value_or(devmode.dmCopies);
    if (choices.collate) devmode.dmCollate = *choices.collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    if (choices.resolution) devmode.dmPrintQuality = devmode.dmYResolution = *choices.resolution;
    return true;
}

bool IsPaperChoice(std::string_view text) {
    const std::string wanted = Lower(std::string(text));
    for (const Paper& paper : kPapers)
        if (wanted == paper.name) return true;
    return ParseNumber(wanted, 1, 32767).has_value();
}

}  // namespace xlhost
