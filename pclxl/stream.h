// The PCL XL output stream: a fixed buffer, a fill position, a running byte
// total, a sticky 16-bit error code and a flush callback supplied by its creator.
// Every value put and operator writer takes the stream first. A stream lives
// for one hook call and is used by one thread.
#pragma once

#include <cstdint>

namespace xlr {

struct XLStream;

// Called with (stream, flushContext, buffer, fill) when the buffer must be
// emptied. Its result is ignored by the stream operations; it may change the
// stream's fill and error.
using XLFlushFn = uint32_t (*)(XLStream* stream, uintptr_t flushContext, uint8_t* buffer,
                               uint32_t fill);

struct XLStream {
    uint8_t* buffer;      // owned by the stream
    uint32_t capacity;    // size of buffer, fixed at creation
    uint32_t fill;        // bytes now held in buffer
    uint32_t total;       // bytes put since creation, flushed or not
    int16_t error;        // 0 while healthy, else the first error code
    uint16_t errorCount;  // incremented each time an error code is set
    void* owner;          // the client's device object; read only by the flush callback
    XLFlushFn flush;
    uintptr_t flushContext;
};

// Error codes kept in XLStream::error (shown as unsigned 16-bit values).
constexpr int16_t kXLErrorInvalidOperator = static_cast<int16_t>(0xFFFE);   // -2
constexpr int16_t kXLErrorInvalidAttribute = static_cast<int16_t>(0xFFFD);  // -3
// An array or embedded block longer than its length field can say.
constexpr int16_t kXLErrorValueTooLong = static_cast<int16_t>(0xFFFC);  // -4
constexpr int16_t kXLErrorSpoolWrite = static_cast<int16_t>(0xFFF9);    // -7

// A new stream with a buffer of `capacity` bytes, or nullptr when there is no
// callback, the capacity is 0 or memory runs out. `owner` is left for the caller.
XLStream* XLStreamCreate(uint32_t capacity, XLFlushFn flush, uintptr_t flushContext);

// Hands the buffer to the callback with the current fill. Does not test the
// error and does not reset fill itself.
void XLStreamFlush(XLStream* stream);

// Flushes once more (even an empty buffer), frees the stream and returns the
// number of bytes put since creation. Accepts nullptr (returns 0).
uint32_t XLStreamDestroy(XLStream* stream);

// The buffer size that every stream of the plug-in uses.
uint32_t XLStreamDefaultCapacity();

// Sets an error code: the first one sticks, every one is counted.
void XLStreamSetError(XLStream* stream, int16_t code);

}  // namespace xlr
