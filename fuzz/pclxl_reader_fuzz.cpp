// Feeds arbitrary bytes to the PCL XL reader: a stream header when the input
// starts with one, then operators in the binding it names, each attribute
// rendered as text as the dump command would.
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "pclxl/reader/stream_header.h"
#include "pclxl/reader/stream_reader.h"
#include "pclxl/reader/value_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    size_t start = 0;
    bool bigEndian = size > 0 && (data[0] & 1) != 0;
    if (xlr::reader::StartsStreamHeader(bytes, 0)) {
        auto header = xlr::reader::ReadStreamHeader(bytes, 0);
        if (std::holds_alternative<xlr::reader::ReadError>(header)) return 0;
        start = std::get<xlr::reader::StreamHeader>(header).length;
        bigEndian = std::get<xlr::reader::StreamHeader>(header).bigEndian;
    }
    xlr::reader::StreamReader reader(bytes, start, bigEndian);
    xlr::reader::Operator op;
    while (reader.Next(op) == xlr::reader::ReadStatus::Operator)
        for (const auto& attribute : op.attributes) (void)xlr::reader::AttributeText(attribute);
    return 0;
}
