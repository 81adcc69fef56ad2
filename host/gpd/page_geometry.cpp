#include "host/gpd/page_geometry.h"

#include <cmath>

#include <wingdi.h>

namespace xlhost {
namespace {

struct StandardPaper {
    std::string_view keyword;
    short dmPaper;
};

// Standard paper option names of printer descriptions and their DMPAPER_ numbers.
constexpr StandardPaper kStandardPapers[] = {
    {"LETTER", DMPAPER_LETTER},
    {"LETTERSMALL", 2},
    {"TABLOID", DMPAPER_TABLOID},
    {"LEDGER", 4},
    {"LEGAL", DMPAPER_LEGAL},
    {"STATEMENT", 6},
    {"EXECUTIVE", DMPAPER_EXECUTIVE},
    {"A3", DMPAPER_A3},
    {"A4", DMPAPER_A4},
    {"A4SMALL", 10},
    {"A5", DMPAPER_A5},
    {"B4", DMPAPER_B4},
    {"B5", DMPAPER_B5},
    {"FOLIO", 14},
    {"QUARTO", 15},
    {"ENV_9", 19},
    {"ENV_10", 20},
    {"ENV_11", 21},
    {"ENV_12", 22},
    {"ENV_14", 23},
    {"ENV_DL", 27},
    {"ENV_C5", 28},
    {"ENV_C3", 29},
    {"ENV_C4", 30},
    {"ENV_C6", 31},
    {"ENV_B4", 33},
    {"ENV_B5", 34},
    {"ENV_B6", 35},
    {"ENV_MONARCH", 37},
    {"ENV_PERSONAL", 38},
    {"A6", 70},
};

// Master units to device pixels. The reader bounds both factors, so the product
// fits 64 bits; the result is truncated as Unidrv truncates.
LONG ToPixels(std::int64_t masterUnits, std::int64_t dpi, std::int64_t unitsPerInch) {
    return static_cast<LONG>(masterUnits * dpi / unitsPerInch);
}

LONG ToMillimetres(LONG pixels, std::int64_t dpi) {
    return static_cast<LONG>(
        std::lround(static_cast<double>(pixels) * 25.4 / static_cast<double>(dpi)));
}

}  // namespace

short StandardPaperNumber(std::string_view keyword) {
    for (const StandardPaper& paper : kStandardPapers)
        if (paper.keyword == keyword) return paper.dmPaper;
    return 0;
}

std::optional<PaperSize> PaperSizeOf(const PrinterDescription& description,
                                     const FeatureOption& option, GpdPair dpi) {
    if (!option.pageDimensions || !description.masterUnits || dpi.x <= 0 || dpi.y <= 0)
        return std::nullopt;
    const GpdPair units = *description.masterUnits;
    const GpdPair page = *option.pageDimensions;
    const GpdPair origin = option.printableOrigin.value_or(GpdPair{});
    const GpdPair area =
        option.printableArea.value_or(GpdPair{page.x - origin.x, page.y - origin.y});
    PaperSize paper;
    paper.keyword = option.keyword;
    paper.displayName = option.displayName;
    paper.dmPaper = StandardPaperNumber(option.keyword);
    paper.physicalSize = SIZEL{ToPixels(page.x, dpi.x, units.x), ToPixels(page.y, dpi.y, units.y)};
    paper.printableOrigin =
        POINTL{ToPixels(origin.x, dpi.x, units.x), ToPixels(origin.y, dpi.y, units.y)};
    paper.printableSize = SIZEL{ToPixels(area.x, dpi.x, units.x), ToPixels(area.y, dpi.y, units.y)};
    return paper;
}

std::vector<PaperSize> PaperSizes(const PrinterDescription& description, GpdPair dpi) {
    std::vector<PaperSize> papers;
    if (const Feature* feature = description.FindFeature("PaperSize"))
        for (const FeatureOption& option : feature->options)
            if (auto paper = PaperSizeOf(description, option, dpi))
                papers.push_back(std::move(*paper));
    return papers;
}

std::optional<DeviceGeometry> CurrentGeometry(const FeatureSelection& selection, bool landscape,
                                              std::string& error) {
    const PrinterDescription& description = selection.Description();
    const FeatureOption* resolution = selection.Current("Resolution");
    if (resolution == nullptr || !resolution->dpi) {
        error = resolution == nullptr ? "the printer description has no Resolution feature"
                                      : "the resolution " + resolution->keyword + " has no *DPI";
        return std::nullopt;
    }
    const FeatureOption* paperOption = selection.Current("PaperSize");
    if (paperOption == nullptr) {
        error = "the printer description has no PaperSize feature";
        return std::nullopt;
    }
    const auto paper = PaperSizeOf(description, *paperOption, *resolution->dpi);
    if (!paper) {
        error = "the paper size " + paperOption->keyword + " has no *PageDimensions";
        return std::nullopt;
    }
    DeviceGeometry geometry;
    geometry.dpi = *resolution->dpi;
    geometry.physicalSize = paper->physicalSize;
    geometry.printableOffset = paper->printableOrigin;
    geometry.printableSize = paper->printableSize;
    if (landscape) {
        const LONG bottomMargin =
            paper->physicalSize.cy - paper->printableOrigin.y - paper->printableSize.cy;
        geometry.dpi = GpdPair{resolution->dpi->y, resolution->dpi->x};
        geometry.physicalSize = SIZEL{paper->physicalSize.cy, paper->physicalSize.cx};
        geometry.printableOffset = POINTL{bottomMargin, paper->printableOrigin.x};
        geometry.printableSize = SIZEL{paper->printableSize.cy, paper->printableSize.cx};
    }
    geometry.printableSizeMm = SIZEL{ToMillimetres(geometry.printableSize.cx, geometry.dpi.x),
                                     ToMillimetres(geometry.printableSize.cy, geometry.dpi.y)};
    return geometry;
}

void ApplyGeometry(const DeviceGeometry& geometry, GDIINFO& info) {
    info.ulHorzSize = static_cast<ULONG>(geometry.printableSizeMm.cx);
    info.ulVertSize = static_cast<ULONG>(geometry.printableSizeMm.cy);
    info.ulHorzRes = static_cast<ULONG>(geometry.printableSize.cx);
    info.ulVertRes = static_cast<ULONG>(geometry.printableSize.cy);
    info.ulLogPixelsX = static_cast<ULONG>(geometry.dpi.x);
    info.ulLogPixelsY = static_cast<ULONG>(geometry.dpi.y);
    // A pixel's relative width and height, and its diagonal.
    info.ulAspectX = static_cast<ULONG>(geometry.dpi.y);
    info.ulAspectY = static_cast<ULONG>(geometry.dpi.x);
    info.ulAspectXY = static_cast<ULONG>(std::lround(
        std::hypot(static_cast<double>(geometry.dpi.x), static_cast<double>(geometry.dpi.y))));
    info.ptlPhysOffset = geometry.printableOffset;
    info.szlPhysSize = geometry.physicalSize;
    info.ulDevicePelsDPI = static_cast<ULONG>(geometry.dpi.x);
}

}  // namespace xlhost
