#include "settings/media/custom_paper_sizes.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace xlr {
namespace {

struct Twin {
    WideStringView form;
    WideStringView twin;
};
constexpr Twin kTwins[] = {
    {WSTR("A3"), WSTR("A4")},
    {WSTR("A2"), WSTR("A3")},
    {WSTR("CSHEET"), WSTR("11x17")},
    {WSTR("B4"), WSTR("LETTER")},
    {WSTR("11x17"), WSTR("LETTER")},
    {WSTR("TABLOID"), WSTR("LETTER")},
    {WSTR("8K 273x394 mm"), WSTR("16K 197x273 mm")},
    {WSTR("8K 270x390 mm"), WSTR("16K 195x270 mm")},
    {WSTR("8K 260x368 mm"), WSTR("16K 184x260 mm")},
    {WSTR("8K"), WSTR("16K")},
};

// Form sizes are thousandths of a millimetre; papers tenths.
LONG ToTenths(LONG thousandths) {
    return thousandths / 100;
}

// Form names are compared without regard to case: the spooler's own forms are
// "Letter" and "Tabloid" where the table says "LETTER" and "TABLOID".
bool SameFormName(WideStringView a, WideStringView b) {
    return SameText(a, b);
}

WideStringView NameOf(const FORM_INFO_1W& form) {
    return form.pName != nullptr ? WideStringView(form.pName) : WideStringView();
}

// Tenths of a millimetre as millimetres with two decimals, the precision the
// list entries are compared at.
double RoundedMillimetres(LONG tenths) {
    char text[32];
    std::snprintf(text, sizeof text, "%1.2f", tenths / 10.0);
    return std::strtod(text, nullptr);
}

}  // namespace

bool CustomSizeRange::Covers(double widthMm, double lengthMm) const {
    return widthMm >= std::min(width1, width2) && widthMm <= std::max(width1, width2) &&
           lengthMm >= std::min(length1, length2) && lengthMm <= std::max(length1, length2);
}

std::optional<CustomSizeRange> ParseCustomSizeRange(WideStringView entry) {
    std::array<double, 4> numbers{};
    size_t count = 0;
    size_t pos = 0;
    while (pos <= entry.size()) {
        size_t end = entry.find_first_of(WSTR("x_"), pos);
        if (end == WideStringView::npos) end = entry.size();
        const WideStringView piece = entry.substr(pos, end - pos);
        if (piece.empty() || piece.size() > 15 || count == numbers.size()) return std::nullopt;
        char text[16] = {};
        for (size_t i = 0; i < piece.size(); ++i) {
            const WCHAR c = piece[i];
            if (!((c >= WSTR('0') && c <= WSTR('9')) || c == WSTR('.') || c == WSTR(' ')))
                return std::nullopt;
            text[i] = static_cast<char>(c);
        }
        char* stop = nullptr;
        numbers[count++] = std::strtod(text, &stop);
        if (stop == text) return std::nullopt;
        pos = end + 1;
    }
    if (count != numbers.size()) return std::nullopt;
    return CustomSizeRange{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::optional<WideStringView> HalfSizeTwinName(WideStringView formName) {
    for (const Twin& twin : kTwins)
        if (SameFormName(twin.form, formName)) return twin.twin;
    return std::nullopt;
}

PaperSize TwinOrSelf(PaperSize paper, const std::vector<FORM_INFO_1W>& forms) {
    if (forms.size() < 2) return paper;
    const auto sameSize = std::find_if(forms.begin(), forms.end(), [&](const FORM_INFO_1W& form) {
        return ToTenths(form.Size.cx) == paper.width && ToTenths(form.Size.cy) == paper.length;
    });
    if (sameSize == forms.end()) return paper;
    const std::optional<WideStringView> twinName = HalfSizeTwinName(NameOf(*sameSize));
    if (!twinName) return paper;
    for (const FORM_INFO_1W& form : forms)
        if (SameFormName(NameOf(form), *twinName))
            return {ToTenths(form.Size.cx), ToTenths(form.Size.cy)};
    return paper;
}

bool CustomSizeListCovers(WideStringView list, PaperSize paper,
                          const std::vector<FORM_INFO_1W>& forms) {
    const PaperSize tested = TwinOrSelf(paper, forms);
    const double width = RoundedMillimetres(tested.width);
    const double length = RoundedMillimetres(tested.length);
    size_t pos = 0;
    while (pos <= list.size()) {
        size_t end = list.find(WSTR('^'), pos);
        if (end == WideStringView::npos) end = list.size();
        const auto range = ParseCustomSizeRange(list.substr(pos, end - pos));
        if (range && range->Covers(width, length)) return true;
        pos = end + 1;
    }
    return false;
}

std::optional<PrinterForms> EnumeratePrinterForms(HANDLE printer) {
    DWORD needed = 0, returned = 0;
    EnumFormsW(printer, 1, nullptr, 0, &needed, &returned);
    if (needed == 0) return std::nullopt;
    std::vector<BYTE> buffer(needed);
    if (!EnumFormsW(printer, 1, buffer.data(), needed, &needed, &returned)) return std::nullopt;
    if (returned > buffer.size() / sizeof(FORM_INFO_1W)) return std::nullopt;
    PrinterForms result;
    const auto* records = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
    result.names.reserve(returned);
    for (DWORD i = 0; i < returned; ++i)
        result.names.emplace_back(records[i].pName != nullptr ? records[i].pName : WSTR(""));
    for (DWORD i = 0; i < returned; ++i) {
        FORM_INFO_1W form = records[i];
        form.pName = result.names[i].data();
        result.forms.push_back(form);
    }
    return result;
}

}  // namespace xlr
