// Attribute values as text for people: enumerations by name, numbers in
// decimal, text arrays quoted, short arrays in full and long ones by length and
// their first elements.
#pragma once

#include <string>
#include <string_view>

#include "pclxl/reader/value.h"

namespace xlr::reader {

// "PageCopies=1", "ColorSpace=eRGB", "TextData=\"Hello\"", "Point=(10, -20)".
std::string AttributeText(const Attribute& attribute);

// The value alone, read as the value of the attribute `attributeId`.
std::string ValueText(const Value& value, uint16_t attributeId);

// The attribute's name, or "Attribute0xNN" for a reserved identifier.
std::string AttributeName(uint16_t id);

// Bytes as a quoted string: printable ASCII as is, the rest escaped.
std::string QuotedText(std::string_view text, size_t limit);

}  // namespace xlr::reader
