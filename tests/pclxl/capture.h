// Flush callbacks for tests: they record each call's bytes and what left the
// stream, and can fail from a chosen call on, as a refused spool write does.
#pragma once

#include <cstdint>
#include <vector>

#include "pclxl/stream.h"

namespace xltest {

struct Capture {
    std::vector<std::vector<uint8_t>> calls;  // the fill bytes of every callback call
    std::vector<uint8_t> output;              // the bytes taken, in order
    bool takeBytes = true;                    // empty the buffer as the spool flush does
    int failFromCall = -1;  // from this call on (0-based), fail as a refused write
};

inline uint32_t CaptureFlush(xlr::XLStream* stream, uintptr_t context, uint8_t* buffer,
                             uint32_t fill) {
    auto* capture = reinterpret_cast<Capture*>(context);
    const int call = static_cast<int>(capture->calls.size());
    capture->calls.emplace_back(buffer, buffer + fill);
    if (capture->failFromCall >= 0 && call >= capture->failFromCall) {
        xlr::XLStreamSetError(stream, xlr::kXLErrorSpoolWrite);
        return 0;
    }
    capture->output.insert(capture->output.end(), buffer, buffer + fill);
    if (capture->takeBytes) stream->fill = 0;
    return fill;
}

// A stream whose callback records into `capture`; owned by the caller.
inline xlr::XLStream* CaptureStream(Capture& capture, uint32_t capacity = 4096) {
    return xlr::XLStreamCreate(capacity, CaptureFlush, reinterpret_cast<uintptr_t>(&capture));
}

// The bytes put since the last flush that took them.
inline std::vector<uint8_t> Pending(const xlr::XLStream* stream) {
    return {stream->buffer, stream->buffer + stream->fill};
}

using Bytes = std::vector<uint8_t>;

}  // namespace xltest
