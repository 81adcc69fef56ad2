#include "job/pjl/text_cleaning.h"

#include <algorithm>
#include <array>

#include "settings/keyword_tables.h"

namespace xlr {
namespace {

constexpr WCHAR kTilde = u'~';
constexpr WCHAR kQuote = u'"';

struct UnitRange {
    uint16_t first;
    uint16_t last;  // inclusive
};

// Blocks the printer's UTF-8 fonts have no glyphs for.
constexpr UnitRange kUtf8RejectedRanges[] = {
    {0x007F, 0x009F}, {0x0218, 0x02FF}, {0x0346, 0x035F}, {0x0362, 0x0400}, {0x04FA, 0x0EDB},
    {0x0EDE, 0x10FF}, {0x11FA, 0x1DFF}, {0x1EFA, 0x1FFF}, {0x2047, 0x209F}, {0x20AD, 0x20CF},
    {0x20E2, 0x245F}, {0x24EB, 0x2FFF}, {0x31A0, 0x31FF}, {0x3244, 0x325F}, {0x32B1, 0x32BF},
    {0x33FF, 0x4DFF}, {0xA000, 0xABFF}, {0xD7A4, 0xF8FF}, {0xFA2E, 0xFF00},
};
constexpr WCHAR kUtf8FirstRejectedHigh = 0xFFEF;  // this and everything above

// Single code points inside the accepted blocks that are still refused,
// written as runs and expanded into one sorted table below.
constexpr UnitRange kUtf8RejectedRuns[] = {
    {0x0022, 0x0022}, {0x002F, 0x002F}, {0x01F6, 0x01F9}, {0x040D, 0x040D}, {0x0450, 0x0450},
    {0x045D, 0x045D}, {0x0487, 0x048F}, {0x04C5, 0x04C6}, {0x04C9, 0x04CA}, {0x04CD, 0x04CF},
    {0x04EC, 0x04ED}, {0x04F6, 0x04F7}, {0x115A, 0x1160}, {0x11A3, 0x11A7}, {0x1E9C, 0x1E9F},
    {0x200B, 0x200F}, {0x2028, 0x202F}, {0x3038, 0x303E}, {0x3040, 0x3040}, {0x3095, 0x3098},
    {0x309F, 0x30A0}, {0x30FF, 0x3104}, {0x312D, 0x3130}, {0x3165, 0x3165}, {0x318F, 0x318F},
    {0x321D, 0x321F}, {0x327C, 0x327E}, {0x32CC, 0x32CF}, {0x32FF, 0x32FF}, {0x3377, 0x337A},
    {0x33DE, 0x33DF}, {0xFF5F, 0xFF60}, {0xFFBF, 0xFFC1}, {0xFFC8, 0xFFC9}, {0xFFD0, 0xFFD1},
    {0xFFD8, 0xFFD9}, {0xFFDD, 0xFFDF}, {0xFFE7, 0xFFE7},
};

constexpr size_t CountRuns() {
    size_t count = 0;
    for (const UnitRange& run : kUtf8RejectedRuns) count += run.last - run.first + 1u;
    return count;
}

constexpr auto ExpandRuns() {
    std::array<uint16_t, CountRuns()> table{};
    size_t i = 0;
    for (const UnitRange& run : kUtf8RejectedRuns)
        for (uint32_t unit = run.first; unit <= run.last; ++unit)
            table[i++] = static_cast<uint16_t>(unit);
    return table;
}

constexpr auto kUtf8RejectedTable = ExpandRuns();
static_assert(kUtf8RejectedTable.size() == 116);
static_assert(std::is_sorted(kUtf8RejectedTable.begin(), kUtf8RejectedTable.end()),
              "the table is searched by halving");

bool RejectedByUtf8Rule(WCHAR unit) {
    if (unit < 0x20 || unit == kQuote || unit >= kUtf8FirstRejectedHigh) return true;
    for (const UnitRange& range : kUtf8RejectedRanges)
        if (unit >= range.first && unit <= range.last) return true;
    return std::binary_search(kUtf8RejectedTable.begin(), kUtf8RejectedTable.end(),
                              static_cast<uint16_t>(unit));
}

// Rule 4: a name that was all rejected characters is sent as an empty value,
// not as a row of tildes.
template <typename Units>
void EmptyIfOnlyTildes(Units& units, size_t length, size_t replaced, auto clear) {
    if (replaced == 0) return;
    for (size_t i = 0; i < length; ++i)
        if (units[i] != kTilde) return;
    clear();
}

}  // namespace

CleaningRule CleaningRuleFor(uint32_t pjlEncoding) {
    switch (pjlEncoding) {
        case kPjlUtf8:
            return CleaningRule::Utf8;
        case kPjl8Bit:
            return CleaningRule::EightBit;
        default:
            return CleaningRule::SevenBit;
    }
}

bool AnnouncesUtf8(uint32_t pjlEncoding) {
    return pjlEncoding == kPjlUtf8 || pjlEncoding == kPjlUtf8Subset;
}

bool IsRejectedUnit(WCHAR unit, CleaningRule rule) {
    switch (rule) {
        case CleaningRule::EightBit:
            return unit < 0x20 || unit > 0xFF || unit == kQuote;
        case CleaningRule::Utf8:
            return RejectedByUtf8Rule(unit);
        case CleaningRule::SevenBit:
        default:
            return unit < 0x20 || unit > 0x7E || unit == kQuote;
    }
}

size_t CleanForPjl(WideString& text, CleaningRule rule) {
    size_t replaced = 0;
    for (WCHAR& unit : text)
        if (IsRejectedUnit(unit, rule)) {
            unit = kTilde;
            ++replaced;
        }
    EmptyIfOnlyTildes(text, text.size(), replaced, [&] { text.clear(); });
    return replaced;
}

size_t CleanForPjl(WCHAR* text, size_t capacity, CleaningRule rule) {
    if (text == nullptr || capacity == 0) return 0;
    text[capacity - 1] = 0;
    size_t length = 0, replaced = 0;
    for (; text[length] != 0; ++length)
        if (IsRejectedUnit(text[length], rule)) {
            text[length] = kTilde;
            ++replaced;
        }
    EmptyIfOnlyTildes(text, length, replaced, [&] { text[0] = 0; });
    return replaced;
}

std::string SafePjlValue(std::string_view text) {
    std::string safe(text);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"') c = '~';
    }
    return safe;
}

}  // namespace xlr
