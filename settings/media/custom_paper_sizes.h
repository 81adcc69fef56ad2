// Custom paper sizes that must be duplexed by hand, and the half-size twins of
// large forms (A3's twin is A4: the printer feeds a sheet of the twin's size
// through the duplexer when it prints the larger form folded).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include <winspool.h>
#include "settings/wide_text.h"

namespace xlr {

// A paper size in tenths of a millimetre, as the device mode gives it.
struct PaperSize {
    LONG width = 0;
    LONG length = 0;
};

// One entry of the custom-size list: "W1xL1_W2xL2" in millimetres (either
// separator may stand in any place), covering every paper whose width lies
// between W1 and W2 and whose length lies between L1 and L2, bounds included.
struct CustomSizeRange {
    double width1, length1, width2, length2;
    bool Covers(double widthMm, double lengthMm) const;
};

// The entry's four numbers; nothing when it does not hold exactly four.
std::optional<CustomSizeRange> ParseCustomSizeRange(WideStringView entry);

// The name of the twin of a form, or nothing when the form has none. Names are
// compared without regard to case, here and when the twin is looked up.
std::optional<WideStringView> HalfSizeTwinName(WideStringView formName);

// The size to test against the custom list: the size of the twin form when the
// printer's form of `paper`'s size has one, else `paper` itself.
PaperSize TwinOrSelf(PaperSize paper, const std::vector<FORM_INFO_1W>& forms);

// True when an entry of the "^"-separated list covers the paper (after its
// twin is taken), its size rounded to hundredths of a millimetre first.
bool CustomSizeListCovers(WideStringView list, PaperSize paper,
                          const std::vector<FORM_INFO_1W>& forms);

// The printer's forms (level 1), with their names copied out of the spooler's
// buffer; the records' pName point into `names`.
struct PrinterForms {
    PrinterForms() = default;
    PrinterForms(const PrinterForms&) = delete;  // the records point into `names`
    PrinterForms& operator=(const PrinterForms&) = delete;
    PrinterForms(PrinterForms&&) = default;
    PrinterForms& operator=(PrinterForms&&) = default;

    std::vector<FORM_INFO_1W> forms;
    std::vector<WideString> names;
};
std::optional<PrinterForms> EnumeratePrinterForms(HANDLE printer);

}  // namespace xlr
