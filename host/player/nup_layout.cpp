#include "host/player/nup_layout.h"

#include <algorithm>

namespace xlhost {
namespace {

struct Layout {
    int32_t pages;
    uint32_t choice;    // the settings record's number for it
    int32_t shortSide;  // slots along the shorter side of the area
    int32_t longSide;
};

constexpr Layout kLayouts[] = {
    {1, 1, 1, 1}, {2, 2, 1, 2}, {4, 3, 2, 2}, {6, 4, 2, 3}, {9, 5, 3, 3}, {16, 6, 4, 4},
};

const Layout* Find(int32_t pages) {
    for (const Layout& layout : kLayouts)
        if (layout.pages == pages) return &layout;
    return nullptr;
}

}  // namespace

uint32_t PagesPerSheetChoice(int32_t count) {
    const Layout* layout = Find(count);
    return layout != nullptr ? layout->choice : 0;
}

std::vector<RECTL> SlotBoxes(const RECTL& printable, int32_t pagesPerSheet) {
    const Layout* layout = Find(pagesPerSheet);
    if (layout == nullptr) return {};
    const int64_t width = int64_t{printable.right} - printable.left;
    const int64_t height = int64_t{printable.bottom} - printable.top;
    const bool upright = width <= height;
    const int32_t columns = upright ? layout->shortSide : layout->longSide;
    const int32_t rows = upright ? layout->longSide : layout->shortSide;
    std::vector<RECTL> boxes;
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t column = 0; column < columns; ++column) {
            boxes.push_back(
                RECTL{static_cast<LONG>(printable.left + width * column / columns),
                      static_cast<LONG>(printable.top + height * row / rows),
                      static_cast<LONG>(printable.left + width * (column + 1) / columns),
                      static_cast<LONG>(printable.top + height * (row + 1) / rows)});
        }
    }
    return boxes;
}

SlotTransform FitPageIntoSlot(const RECTL& printable, const RECTL& box) {
    const double pageWidth = double(printable.right) - printable.left;
    const double pageHeight = double(printable.bottom) - printable.top;
    const double boxWidth = double(box.right) - box.left;
    const double boxHeight = double(box.bottom) - box.top;
    if (pageWidth <= 0 || pageHeight <= 0) return {};
    const double scale = std::min(boxWidth / pageWidth, boxHeight / pageHeight);
    SlotTransform transform;
    transform.scale = scale;
    transform.offsetX = box.left + (boxWidth - pageWidth * scale) / 2 - printable.left * scale;
    transform.offsetY = box.top + (boxHeight - pageHeight * scale) / 2 - printable.top * scale;
    return transform;
}

std::vector<SheetLayout> SheetsOf(int32_t pages, int32_t pagesPerSheet, const RECTL& printable) {
    if (Find(pagesPerSheet) == nullptr) pagesPerSheet = 1;
    std::vector<SheetLayout> sheets;
    for (int32_t first = 0; first < pages; first += pagesPerSheet) {
        SheetLayout sheet;
        sheet.printable = printable;
        sheet.pagesPerSheet = pagesPerSheet;
        sheet.firstPage = first;
        sheet.pagesOnSheet = std::min(pagesPerSheet, pages - first);
        sheet.documentPages = pages;
        sheets.push_back(sheet);
    }
    return sheets;
}

}  // namespace xlhost
