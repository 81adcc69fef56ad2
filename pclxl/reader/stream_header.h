// The line that opens a PCL XL stream: a binding character, " HP-PCL XL;",
// the protocol class, ";", the revision, an optional ";" and comment, and a
// line feed. The binding says how the binary stream that follows is encoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "pclxl/reader/value.h"

namespace xlr::reader {

struct StreamHeader {
    size_t offset = 0;
    size_t length = 0;  // up to and including the line feed
    char binding = 0;   // ')' low byte first, '(' high byte first
    bool bigEndian = false;
    std::string line;  // without the line end
    std::string protocolClass;
    std::string revision;
    std::string comment;
};

// True when the bytes at `offset` begin like a stream header (a binding
// character and " HP-PCL XL"), whether or not the rest of the line is sound.
bool StartsStreamHeader(std::span<const uint8_t> bytes, size_t offset);

// Reads the header line at `offset`. Fails for a header without a line end,
// for a class or revision that is not a number, and for the ASCII binding,
// which this reader does not decode.
std::variant<StreamHeader, ReadError> ReadStreamHeader(std::span<const uint8_t> bytes,
                                                       size_t offset);

}  // namespace xlr::reader
