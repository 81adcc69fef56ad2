// Names of the PCL XL vocabulary for people: data types, operators, attributes
// and the enumerated values of the attributes that take them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace xlr::reader {

struct EnumName {
    uint8_t value;
    std::string_view name;
};

struct AttributeInfo {
    std::string_view name;             // empty for a valid identifier with no known name
    std::span<const EnumName> values;  // the enumeration, when the attribute has one
    bool text = false;                 // a ubyte_array value reads as text
};

// The data type name ("uint16_xy"), or empty when the tag is not a data type.
std::string_view DataTypeName(uint8_t tag);

// The operator name ("EndPage"), or empty when the tag is not an operator.
std::string_view OperatorName(uint8_t tag);

// The attribute's description, or nullptr when the identifier is not a PCL XL attribute.
const AttributeInfo* FindAttribute(uint16_t id);

// The name of an enumerated value ("eRGB"), or empty when the attribute has no
// enumeration or the value is not one of it.
std::string_view EnumValueName(uint16_t attributeId, uint32_t value);

}  // namespace xlr::reader
