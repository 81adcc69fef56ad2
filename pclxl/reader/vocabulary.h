// Names of the PCL XL vocabulary for people: data types, operators, attributes
// and the enumerated values of the attributes that take them. This is the
// protocol's vocabulary, wider than what our writer emits, so that streams of
// other producers read too. Only names known for certain are held; a tag,
// identifier or value without one prints as its number.
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
    std::string_view name;
    std::span<const EnumName> values;  // the enumeration, when the attribute has one
    bool text = false;                 // a ubyte_array value reads as text
};

// The data type name ("uint16_xy"), or empty when the tag is not a data type.
std::string_view DataTypeName(uint8_t tag);

// True when the tag is an operator of the protocol (classes 1.1 to 3.0), named or not.
bool IsOperatorTag(uint8_t tag);

// The operator name ("EndPage"), or empty when the tag has no name here.
std::string_view OperatorName(uint8_t tag);

// The attribute's description, or nullptr when the identifier has no name here.
// Every identifier is read: it does not change how the stream is parsed.
const AttributeInfo* FindAttribute(uint16_t id);

// No operator known: the attribute's own enumeration applies.
inline constexpr uint8_t kNoOperator = 0;

// The name of an enumerated value ("eRGB"), or empty when the attribute has no
// enumeration or the value is not one of it. The per-object attributes take
// their values from the operator they go with.
std::string_view EnumValueName(uint16_t attributeId, uint32_t value,
                               uint8_t operatorTag = kNoOperator);

}  // namespace xlr::reader
