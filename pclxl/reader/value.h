// What the reader returns: data values, attributes, operators with their
// embedded data, and errors that carry the byte offset where input went wrong.
// Values refer to the bytes they were read from, which must outlive them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xlr::reader {

enum class ElementType : uint8_t { UByte, UInt16, UInt32, SInt16, SInt32, Real32 };
enum class Shape : uint8_t { Scalar, Array, XY, Box };

size_t ElementSize(ElementType type);

struct Value {
    uint8_t tag = 0;  // the data type tag as read
    ElementType element = ElementType::UByte;
    Shape shape = Shape::Scalar;
    uint32_t count = 0;            // 1 for a scalar, 2 for xy, 4 for a box, else the array length
    std::span<const uint8_t> raw;  // count elements in the stream's byte order
    bool bigEndian = false;

    bool IsReal() const { return element == ElementType::Real32; }
    // Element i as an integer (a real is truncated toward zero).
    int64_t Integer(size_t i = 0) const;
    // Element i as a number (exact for every PCL XL type).
    double Number(size_t i = 0) const;
    // A ubyte array's bytes as text.
    std::string_view Text() const {
        return {reinterpret_cast<const char*>(raw.data()), raw.size()};
    }
};

struct Attribute {
    size_t offset = 0;  // of the value's tag
    uint16_t id = 0;
    Value value;
};

struct EmbeddedData {
    size_t offset = 0;  // of the FA or FB tag
    std::span<const uint8_t> bytes;
};

struct Operator {
    size_t offset = 0;     // of the first attribute, or of the tag when there is none
    size_t tagOffset = 0;  // of the operator tag
    uint8_t tag = 0;
    std::vector<Attribute> attributes;
    std::optional<EmbeddedData> data;  // embedded data that follows the operator

    const Attribute* Find(uint16_t id) const;
};

struct ReadError {
    size_t offset = 0;
    std::string message;
};

}  // namespace xlr::reader
