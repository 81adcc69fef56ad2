#include "pclxl/reader/value.h"

#include <bit>

#include "pclxl/reader/byte_cursor.h"

namespace xlr::reader {

size_t ElementSize(ElementType type) {
    constexpr size_t kSizes[] = {1, 2, 4, 2, 4, 4};
    return kSizes[static_cast<size_t>(type)];
}

namespace {

uint32_t ElementBits(const Value& value, size_t i) {
    const size_t size = ElementSize(value.element);
    return ByteCursor::DecodeNumber(value.raw.subspan(i * size, size), value.bigEndian);
}

}  // namespace

int64_t Value::Integer(size_t i) const {
    const uint32_t bits = ElementBits(*this, i);
    switch (element) {
        case ElementType::SInt16:
            return static_cast<int16_t>(bits);
        case ElementType::SInt32:
            return static_cast<int32_t>(bits);
        case ElementType::Real32: {
            const float real = std::bit_cast<float>(bits);
            // Out-of-range and NaN reals have no integer; 0 keeps callers defined.
            if (!(real > -9.2e18f && real < 9.2e18f)) return 0;
            return static_cast<int64_t>(real);
        }
        default:
            return bits;
    }
}

double Value::Number(size_t i) const {
    if (element == ElementType::Real32) return std::bit_cast<float>(ElementBits(*this, i));
    return static_cast<double>(Integer(i));
}

const Attribute* Operator::Find(uint16_t id) const {
    for (const Attribute& attribute : attributes)
        if (attribute.id == id) return &attribute;
    return nullptr;
}

}  // namespace xlr::reader
