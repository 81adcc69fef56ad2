// Several logical pages on one sheet: the slots of the sheet's printable area
// and how a logical page is fitted into its slot.
#pragma once

#include <cstdint>
#include <vector>

#include <winddi.h>

namespace xlhost {

// The settings record's pages-per-sheet choice of a count: 1 → 1, 2 → 2, 4 → 3,
// 6 → 4, 9 → 5, 16 → 6; 0 for a count that is not a layout.
uint32_t PagesPerSheetChoice(int32_t count);

// The slot boxes of `pagesPerSheet` pages (1, 2, 4, 6, 9 or 16) tiling the
// printable area in rows from the top, left to right in each row. The longer
// side of the area takes the larger number of slots (2 and 6 pages: 1 × 2 and
// 2 × 3 on an upright area, 2 × 1 and 3 × 2 on a wide one). Empty for other counts.
std::vector<RECTL> SlotBoxes(const RECTL& printable, int32_t pagesPerSheet);

// Maps a logical page, whose printable area is `printable`, into `box`: one
// scale for both directions (the page keeps its proportions), centred.
struct SlotTransform {
    double scale = 1;
    double offsetX = 0;  // device x = offsetX + scale * logical x
    double offsetY = 0;
};
SlotTransform FitPageIntoSlot(const RECTL& printable, const RECTL& box);

// One physical sheet of a document.
struct SheetLayout {
    RECTL printable{};          // the sheet's printable area, device pixels
    int32_t pagesPerSheet = 1;  // slots of the sheet
    int32_t firstPage = 0;      // the document's index of the sheet's first logical page
    int32_t pagesOnSheet = 1;   // occupied slots (the last sheet may have fewer)
    int32_t documentPages = 1;  // logical pages of the whole document
};

// The sheets of a document of `pages` logical pages.
std::vector<SheetLayout> SheetsOf(int32_t pages, int32_t pagesPerSheet, const RECTL& printable);

}  // namespace xlhost
