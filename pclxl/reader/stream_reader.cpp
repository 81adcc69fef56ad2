#include "pclxl/reader/stream_reader.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "pclxl/data_types.h"
#include "pclxl/reader/byte_cursor.h"
#include "pclxl/reader/vocabulary.h"

namespace xlr::reader {
namespace {

constexpr std::string_view kUniversalExit = "\x1B%-12345X";
static_assert(kUniversalExit.size() == kUniversalExitLength);

// Bytes that the binary binding ignores between tokens.
constexpr bool IsWhitespace(uint8_t b) {
    return b == 0x00 || (b >= 0x09 && b <= 0x0D) || b == 0x20;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

void SkipWhitespace(ByteCursor& cursor) {
    while (!cursor.AtEnd() && IsWhitespace(cursor.Peek())) cursor.Skip(1);
}

// The element type and shape of a data type tag, or false when the byte is not one.
bool DecodeDataType(uint8_t tag, ElementType& element, Shape& shape, uint32_t& count) {
    if (DataTypeName(tag).empty()) return false;
    element = static_cast<ElementType>(tag & 0x07);
    switch (tag & 0xF8) {
        case 0xC0:
            shape = Shape::Scalar;
            count = 1;
            break;
        case 0xC8:
            shape = Shape::Array;
            count = 0;
            break;
        case 0xD0:
            shape = Shape::XY;
            count = 2;
            break;
        default:
            shape = Shape::Box;
            count = 4;
            break;
    }
    return true;
}

}  // namespace

bool IsUniversalExit(std::span<const uint8_t> bytes, size_t offset) {
    if (offset > bytes.size() || kUniversalExit.size() > bytes.size() - offset) return false;
    return std::equal(kUniversalExit.begin(), kUniversalExit.end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

StreamReader::StreamReader(std::span<const uint8_t> bytes, size_t start, bool bigEndian)
    : bytes_(bytes), position_(std::min(start, bytes.size())), bigEndian_(bigEndian) {}

ReadStatus StreamReader::Fail(size_t offset, std::string message) {
    error_ = {offset, std::move(message)};
    position_ = offset;
    stopped_ = ReadStatus::Error;
    return stopped_;
}

ReadStatus StreamReader::Next(Operator& op) {
    if (stopped_ != ReadStatus::Operator) return stopped_;
    op = Operator{};
    ByteCursor cursor(bytes_, position_, bigEndian_);
    SkipWhitespace(cursor);
    op.offset = cursor.Position();

    for (;;) {
        SkipWhitespace(cursor);
        const size_t at = cursor.Position();
        if (cursor.AtEnd() || IsUniversalExit(bytes_, at)) {
            if (!op.attributes.empty())
                return Fail(op.attributes.back().offset,
                            "attribute " + Hex(op.attributes.back().id) +
                                " has no operator before " +
                                (cursor.AtEnd() ? std::string("the end of the data")
                                                : "the universal exit"));
            position_ = at;
            stopped_ = cursor.AtEnd() ? ReadStatus::End : ReadStatus::UniversalExit;
            return stopped_;
        }
        const uint8_t tag = cursor.Peek();

        Value value;
        if (DecodeDataType(tag, value.element, value.shape, value.count)) {
            cursor.Skip(1);
            value.tag = tag;
            value.bigEndian = bigEndian_;
            if (value.shape == Shape::Array) {
                // The element count is itself a tagged ubyte or uint16.
                if (cursor.AtEnd()) return Fail(at, "array at the end of the data has no length");
                const uint8_t lengthTag = cursor.Peek();
                if (lengthTag != xltype::UByte && lengthTag != xltype::UInt16)
                    return Fail(cursor.Position(), "array length has type " + Hex(lengthTag) +
                                                       "; it must be ubyte or uint16");
                cursor.Skip(1);
                if (!cursor.NextNumber(lengthTag == xltype::UByte ? 1 : 2, value.count))
                    return Fail(at, "array length runs past the end of the data");
            }
            const size_t size = size_t{value.count} * ElementSize(value.element);
            if (!cursor.NextSpan(size, value.raw))
                return Fail(at, std::string(DataTypeName(tag)) + " value of " +
                                    std::to_string(size) + " bytes runs past the end of the data");
            SkipWhitespace(cursor);
            const size_t idAt = cursor.Position();
            if (cursor.AtEnd())
                return Fail(at, "value has no attribute identifier before the end of the data");
            const uint8_t idTag = cursor.Peek();
            if (idTag != xltype::AttributeUByte && idTag != xltype::AttributeUInt16)
                return Fail(idAt,
                            "expected an attribute identifier (0xF8) after the value at byte " +
                                std::to_string(at) + ", found " + Hex(idTag));
            cursor.Skip(1);
            uint32_t id = 0;
            if (!cursor.NextNumber(idTag == xltype::AttributeUByte ? 1 : 2, id))
                return Fail(idAt, "attribute identifier runs past the end of the data");
            op.attributes.push_back({at, static_cast<uint16_t>(id), value});
            continue;
        }

        if (tag == xltype::AttributeUByte || tag == xltype::AttributeUInt16)
            return Fail(at, "attribute identifier without a value");
        if (tag == xltype::EmbeddedData || tag == xltype::EmbeddedDataByte)
            return Fail(at, "embedded data without an operator");
        if (!IsOperatorTag(tag)) return Fail(at, "unknown tag " + Hex(tag));

        // An operator, and the embedded data that may follow it.
        cursor.Skip(1);
        op.tagOffset = at;
        op.tag = tag;
        if (op.attributes.empty()) op.offset = at;
        ByteCursor after = cursor;
        SkipWhitespace(after);
        if (!after.AtEnd() &&
            (after.Peek() == xltype::EmbeddedData || after.Peek() == xltype::EmbeddedDataByte)) {
            const size_t dataAt = after.Position();
            const bool longForm = after.Peek() == xltype::EmbeddedData;
            after.Skip(1);
            uint32_t length = 0;
            if (!after.NextNumber(longForm ? 4 : 1, length))
                return Fail(dataAt, "embedded data length runs past the end of the data");
            EmbeddedData data{dataAt, {}};
            if (!after.NextSpan(length, data.bytes))
                return Fail(dataAt, "embedded data of " + std::to_string(length) +
                                        " bytes runs past the end (" +
                                        std::to_string(after.Remaining()) + " bytes left)");
            op.data = data;
            cursor = after;
        }
        position_ = cursor.Position();
        return ReadStatus::Operator;
    }
}

std::variant<std::vector<Operator>, ReadError> ReadOperators(std::span<const uint8_t> bytes,
                                                             size_t start, bool bigEndian) {
    StreamReader reader(bytes, start, bigEndian);
    std::vector<Operator> operators;
    Operator op;
    for (;;) {
        switch (reader.Next(op)) {
            case ReadStatus::Operator:
                operators.push_back(std::move(op));
                break;
            case ReadStatus::Error:
                return reader.Error();
            default:
                return operators;
        }
    }
}

}  // namespace xlr::reader
