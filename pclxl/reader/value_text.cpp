#include "pclxl/reader/value_text.h"

#include <cstdio>

#include "pclxl/reader/vocabulary.h"

namespace xlr::reader {
namespace {

// Arrays up to this many elements are shown whole; longer ones by their start.
constexpr size_t kShortArray = 16;
constexpr size_t kArrayPreview = 8;
constexpr size_t kTextLimit = 200;

std::string NumberText(const Value& value, size_t i) {
    if (!value.IsReal()) return std::to_string(value.Integer(i));
    char text[32];
    std::snprintf(text, sizeof text, "%g", value.Number(i));
    return text;
}

// An element, by its enumerated name where the attribute has one.
std::string ElementText(const Value& value, size_t i, uint16_t attributeId, uint8_t operatorTag) {
    if (value.element == ElementType::UByte) {
        const std::string_view name =
            EnumValueName(attributeId, static_cast<uint32_t>(value.Integer(i)), operatorTag);
        if (!name.empty()) return std::string(name);
    }
    return NumberText(value, i);
}

std::string JoinElements(const Value& value, size_t count, uint16_t attributeId,
                         uint8_t operatorTag, std::string_view separator) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) text += separator;
        text += ElementText(value, i, attributeId, operatorTag);
    }
    return text;
}

}  // namespace

std::string QuotedText(std::string_view text, size_t limit) {
    std::string quoted = "\"";
    const size_t shown = text.size() < limit ? text.size() : limit;
    for (size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            quoted += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            quoted += escape;
        }
    }
    quoted += '"';
    if (shown < text.size()) quoted += "... (" + std::to_string(text.size()) + " bytes)";
    return quoted;
}

std::string AttributeName(uint16_t id) {
    const AttributeInfo* info = FindAttribute(id);
    if (info != nullptr && !info->name.empty()) return std::string(info->name);
    char text[24];
    std::snprintf(text, sizeof text, "Attribute0x%02X", id);
    return text;
}

std::string OperatorLabel(uint8_t tag) {
    const std::string_view name = OperatorName(tag);
    if (!name.empty()) return std::string(name);
    char text[24];
    std::snprintf(text, sizeof text, "Operator0x%02X", tag);
    return text;
}

std::string ValueText(const Value& value, uint16_t attributeId, uint8_t operatorTag) {
    switch (value.shape) {
        case Shape::Scalar:
            return ElementText(value, 0, attributeId, operatorTag);
        case Shape::XY:
        case Shape::Box:
            return "(" + JoinElements(value, value.count, attributeId, operatorTag, ", ") + ")";
        case Shape::Array:
            break;
    }
    const AttributeInfo* info = FindAttribute(attributeId);
    if (info != nullptr && info->text && value.element == ElementType::UByte)
        return QuotedText(value.Text(), kTextLimit);
    if (value.count <= kShortArray)
        return "[" + JoinElements(value, value.count, attributeId, operatorTag, " ") + "]";
    return "[" + std::to_string(value.count) +
           " elements: " + JoinElements(value, kArrayPreview, attributeId, operatorTag, " ") +
           " ...]";
}

std::string AttributeText(const Attribute& attribute, uint8_t operatorTag) {
    return AttributeName(attribute.id) + "=" +
           ValueText(attribute.value, attribute.id, operatorTag);
}

std::string OperatorText(const Operator& op) {
    std::string text = OperatorLabel(op.tag);
    for (const Attribute& attribute : op.attributes) text += " " + AttributeText(attribute, op.tag);
    return text;
}

}  // namespace xlr::reader
