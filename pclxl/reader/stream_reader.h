// Reads the binary part of a PCL XL stream, one operator at a time, with the
// attributes before it and the embedded data after it. Malformed input ends
// the reading with an error that names its byte offset; the reader never reads
// past the end of its bytes and always moves forward.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "pclxl/reader/value.h"

namespace xlr::reader {

enum class ReadStatus {
    Operator,       // an operator was read
    End,            // the bytes ended cleanly, after an operator
    UniversalExit,  // the stream ended at a universal exit (ESC %-12345X), at Position()
    Error,          // malformed input; see Error()
};

class StreamReader {
  public:
    // `bytes` is the whole input, so that offsets are offsets into it; reading
    // starts at `start`, the first byte after the stream header.
    StreamReader(std::span<const uint8_t> bytes, size_t start, bool bigEndian);

    // Reads the next operator into `op`. Once End, UniversalExit or Error has
    // been returned, every later call returns the same.
    ReadStatus Next(Operator& op);

    // After the last operator read, or where the universal exit or error begins.
    size_t Position() const { return position_; }
    const ReadError& Error() const { return error_; }

  private:
    ReadStatus Fail(size_t offset, std::string message);

    std::span<const uint8_t> bytes_;
    size_t position_;
    bool bigEndian_;
    ReadStatus stopped_ = ReadStatus::Operator;
    ReadError error_;
};

// True when a universal exit (ESC %-12345X) begins at `offset`.
bool IsUniversalExit(std::span<const uint8_t> bytes, size_t offset);
inline constexpr size_t kUniversalExitLength = 9;

// Reads every operator from `start` to the end or to a universal exit.
std::variant<std::vector<Operator>, ReadError> ReadOperators(std::span<const uint8_t> bytes,
                                                             size_t start, bool bigEndian = false);

}  // namespace xlr::reader
