// Attribute values as text for people: enumerations by name, numbers in
// decimal, text arrays quoted, short arrays in full and long ones by length and
// their first elements.
#pragma once

#include <string>
#include <string_view>

#include "pclxl/reader/value.h"
#include "pclxl/reader/vocabulary.h"

namespace xlr::reader {

// "PageCopies=1", "ColorSpace=eRGB", "TextData=\"Hello\"", "Point=(10, -20)".
// Values that depend on the operator are named only when `operatorTag` is given.
std::string AttributeText(const Attribute& attribute, uint8_t operatorTag = kNoOperator);

// The value alone, read as the value of the attribute `attributeId`.
std::string ValueText(const Value& value, uint16_t attributeId, uint8_t operatorTag = kNoOperator);

// The attribute's name, or "Attribute0xNN" for an identifier without one.
std::string AttributeName(uint16_t id);

// The operator's name, or "Operator0xNN" for a tag without one.
std::string OperatorLabel(uint8_t tag);

// The operator and its attributes: "EndPage PageCopies=1".
std::string OperatorText(const Operator& op);

// Bytes as a quoted string: printable ASCII as is, the rest escaped.
std::string QuotedText(std::string_view text, size_t limit);

}  // namespace xlr::reader
