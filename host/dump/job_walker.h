// Walks a print job as a printer receives it: PJL and other text lines, the
// universal exit, a PCL XL stream (its header line, then binary operators up to
// the next universal exit or the end), and back to text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "pclxl/reader/stream_header.h"
#include "pclxl/reader/value.h"

namespace xlhost {

class JobVisitor {
  public:
    virtual ~JobVisitor() = default;
    // A text line without its line end; `length` counts the bytes it took, line end included.
    virtual void OnText(size_t offset, std::string_view line, size_t length) = 0;
    virtual void OnUniversalExit(size_t offset) = 0;
    virtual void OnStreamHeader(const xlr::reader::StreamHeader& header) = 0;
    // `length` counts the operator's bytes from its first attribute to its tag.
    virtual void OnOperator(const xlr::reader::Operator& op, size_t length) = 0;
};

// Calls the visitor for each part of the job in order. Returns the first
// malformed PCL XL found; the visitor has seen everything before it.
std::optional<xlr::reader::ReadError> WalkJob(std::span<const uint8_t> job, JobVisitor& visitor);

}  // namespace xlhost
