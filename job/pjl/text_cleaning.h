// Cleaning a name for a quoted PJL value. The printer's PJL character set
// (KXPJLEncoding) decides which characters a name may carry; every other
// UTF-16 unit becomes "~", and so does the double quote that would end the
// value early.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/wide_text.h"

namespace xlr {

enum class CleaningRule : uint8_t {
    SevenBit,  // printable ASCII
    EightBit,  // printable ASCII and Latin-1
    Utf8,      // what the printer's UTF-8 fonts can show
};

// The rule of a PJL encoding index (settings/keyword_tables.h): "UTF8" takes
// the UTF-8 rule, "8bitEncoding" the 8-bit rule, everything else (also
// "UTF8Subset" and an unknown or absent encoding) the 7-bit rule.
CleaningRule CleaningRuleFor(uint32_t pjlEncoding);

// Whether the encoding announces UTF-8 text with a STRINGCODESET line:
// "UTF8" and "UTF8Subset".
bool AnnouncesUtf8(uint32_t pjlEncoding);

bool IsRejectedUnit(WCHAR unit, CleaningRule rule);

// Replaces every rejected unit by "~". A text in which something was replaced
// and nothing but "~" is left becomes empty; a text that needed nothing is
// left alone even if it is all "~". Returns the number of units replaced.
size_t CleanForPjl(WideString& text, CleaningRule rule);

// The same on a terminated buffer, in place (the device state's own fields).
size_t CleanForPjl(WCHAR* text, size_t capacity, CleaningRule rule);

// The least cleaning for values no rule was chosen for: control characters and
// the double quote become "~", so that a value cannot end its line or its
// quotes early. Works on UTF-8 or 8-bit text.
std::string SafePjlValue(std::string_view text);

}  // namespace xlr
