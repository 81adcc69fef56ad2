// Paper sizes and resolutions of a printer description in device pixels: the
// page geometry that Unidrv reports to the graphics engine at enable (GDIINFO).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <winddi.h>

#include "host/gpd/feature_selection.h"
#include "host/gpd/printer_description.h"

namespace xlhost {

struct PaperSize {
    std::string keyword;      // the PaperSize option
    std::string displayName;  // its *Name
    short dmPaper = 0;        // DMPAPER_ number of a standard paper name, 0 for others
    // In device pixels at the resolution asked for, portrait.
    SIZEL physicalSize{};
    POINTL printableOrigin{};
    SIZEL printableSize{};
};

// The paper size of a PaperSize option at `dpi`, or nothing when the option has no
// *PageDimensions (a custom size) or the description no *MasterUnits.
std::optional<PaperSize> PaperSizeOf(const PrinterDescription& description,
                                     const FeatureOption& option, GpdPair dpi);

// Every paper size of the description's PaperSize feature at `dpi`.
std::vector<PaperSize> PaperSizes(const PrinterDescription& description, GpdPair dpi);

// The DMPAPER_ number of a standard paper name of printer descriptions, or 0.
short StandardPaperNumber(std::string_view keyword);

// What the graphics information of a device needs of its page.
struct DeviceGeometry {
    GpdPair dpi;           // x and y resolution, in the page's orientation
    SIZEL physicalSize{};  // pixels
    POINTL printableOffset{};
    SIZEL printableSize{};
    SIZEL printableSizeMm{};  // millimetres, rounded
};

// The geometry of the current PaperSize and Resolution options. Landscape turns
// the page a quarter turn counter-clockwise (LANDSCAPE_CC90): the portrait page's
// bottom margin becomes the left one and its left margin the top one. Fails with
// `error` when the description lacks a paper size or resolution to use.
std::optional<DeviceGeometry> CurrentGeometry(const FeatureSelection& selection, bool landscape,
                                              std::string& error);

// Writes the geometry into the fields of GDIINFO that describe the page:
// ulHorzSize, ulVertSize, ulHorzRes, ulVertRes, ulLogPixelsX/Y, the aspect
// values, ptlPhysOffset, szlPhysSize and ulDevicePelsDPI.
void ApplyGeometry(const DeviceGeometry& geometry, GDIINFO& info);

}  // namespace xlhost
