#include "pclxl/stream.h"

#include <cstdlib>

namespace xlr {
namespace {

// The largest single item is 4 bytes; a smaller buffer could never take it.
constexpr uint32_t kLargestItem = 4;

}  // namespace

XLStream* XLStreamCreate(uint32_t capacity, XLFlushFn flush, uintptr_t flushContext) {
    auto* stream = static_cast<XLStream*>(std::calloc(1, sizeof(XLStream)));
    if (stream == nullptr) return nullptr;
    if (flush == nullptr || capacity < kLargestItem) {
        std::free(stream);
        return nullptr;
    }
    stream->buffer = static_cast<uint8_t*>(std::malloc(capacity));
    if (stream->buffer == nullptr) {
        std::free(stream);
        return nullptr;
    }
    stream->capacity = capacity;
    stream->flush = flush;
    stream->flushContext = flushContext;
    return stream;
}

void XLStreamFlush(XLStream* stream) {
    if (stream != nullptr && stream->flush != nullptr)
        stream->flush(stream, stream->flushContext, stream->buffer, stream->fill);
}

uint32_t XLStreamDestroy(XLStream* stream) {
    if (stream == nullptr) return 0;
    const uint32_t total = stream->total;
    XLStreamFlush(stream);
    std::free(stream->buffer);
    std::free(stream);
    return total;
}

uint32_t XLStreamDefaultCapacity() {
    return 4096;
}

void XLStreamSetError(XLStream* stream, int16_t code) {
    if (stream->error == 0) stream->error = code;
    ++stream->errorCount;
}

}  // namespace xlr
