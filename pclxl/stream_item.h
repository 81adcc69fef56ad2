// The one store under every PCL XL put: make room for an item of N bytes (1, 2
// or 4) and store it little-endian. A value is never split across two flushes.
#pragma once

#include <bit>
#include <concepts>
#include <cstdint>
#include <limits>

#include "pclxl/stream.h"

namespace xlr::detail {

// Flushes the buffer and empties it whatever the callback did: bytes that a
// failed write did not take are dropped, not sent twice.
inline void FlushForRoom(XLStream* stream) {
    stream->flush(stream, stream->flushContext, stream->buffer, stream->fill);
    stream->fill = 0;
}

// Ensures room for `size` bytes. False when the stream has failed, before or
// during the flush, and the item must be dropped.
inline bool MakeRoom(XLStream* stream, uint32_t size) {
    if (stream->error != 0) return false;
    if (stream->capacity - stream->fill < size) FlushForRoom(stream);
    return stream->error == 0;
}

// PCL XL printers take little-endian data, which is all this writer emits,
// whatever the processor's own order.
template <std::unsigned_integral T>
inline void PutItem(XLStream* stream, T value) {
    if (!MakeRoom(stream, sizeof(T))) return;
    uint8_t* out = stream->buffer + stream->fill;
    for (unsigned i = 0; i < sizeof(T); ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
    stream->fill += sizeof(T);
    stream->total += sizeof(T);
}

inline void PutItem(XLStream* stream, float value) {
    PutItem(stream, std::bit_cast<uint32_t>(value));
}

static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

}  // namespace xlr::detail
