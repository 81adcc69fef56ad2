#include "pclxl/put.h"

#include <algorithm>
#include <cstring>

#include "pclxl/attribute_ids.h"
#include "pclxl/data_types.h"
#include "pclxl/stream_item.h"

namespace xlr {
namespace {

using detail::PutItem;

constexpr uint32_t kLargestArray = 0xFFFF;

void PutTag(XLStream* stream, uint8_t tag) {
    PutItem(stream, tag);
}

// Puts a run of 1-byte items. Storing them in blocks makes the same flushes,
// at the same fills, as one ensure-room step per byte would: the buffer is
// flushed only when it is full and another byte must go in.
void PutByteItems(XLStream* stream, const uint8_t* bytes, uint32_t length) {
    while (length > 0 && stream->error == 0) {
        if (stream->fill == stream->capacity) {
            detail::FlushForRoom(stream);
            if (stream->error != 0) return;
        }
        const uint32_t run = std::min(length, stream->capacity - stream->fill);
        std::memcpy(stream->buffer + stream->fill, bytes, run);
        stream->fill += run;
        stream->total += run;
        bytes += run;
        length -= run;
    }
}

// The count of an array: a tagged uint16.
bool PutArrayHeader(XLStream* stream, uint8_t tag, uint32_t count) {
    if (stream->error != 0) return false;
    if (count > kLargestArray) {
        XLStreamSetError(stream, kXLErrorValueTooLong);
        return false;
    }
    PutTag(stream, tag);
    PutTag(stream, xltype::UInt16);
    PutItem(stream, static_cast<uint16_t>(count));
    return stream->error == 0;
}

}  // namespace

void XLPutUByte(XLStream* stream, uint32_t value) {
    PutTag(stream, xltype::UByte);
    PutItem(stream, static_cast<uint8_t>(value));
}

void XLPutUInt16(XLStream* stream, uint32_t value) {
    PutTag(stream, xltype::UInt16);
    PutItem(stream, static_cast<uint16_t>(value));
}

void XLPutUInt32(XLStream* stream, uint32_t value) {
    PutTag(stream, xltype::UInt32);
    PutItem(stream, value);
}

void XLPutSInt16(XLStream* stream, int32_t value) {
    PutTag(stream, xltype::SInt16);
    PutItem(stream, static_cast<uint16_t>(value));
}

void XLPutReal32(XLStream* stream, float value) {
    PutTag(stream, xltype::Real32);
    PutItem(stream, value);
}

void XLPutUInt16XY(XLStream* stream, uint32_t x, uint32_t y) {
    PutTag(stream, xltype::UInt16XY);
    PutItem(stream, static_cast<uint16_t>(x));
    PutItem(stream, static_cast<uint16_t>(y));
}

void XLPutSInt16XY(XLStream* stream, int32_t x, int32_t y) {
    PutTag(stream, xltype::SInt16XY);
    PutItem(stream, static_cast<uint16_t>(x));
    PutItem(stream, static_cast<uint16_t>(y));
}

void XLPutReal32XY(XLStream* stream, float x, float y) {
    PutTag(stream, xltype::Real32XY);
    PutItem(stream, x);
    PutItem(stream, y);
}

void XLPutSInt16Box(XLStream* stream, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    PutTag(stream, xltype::SInt16Box);
    for (int32_t value : {left, top, right, bottom}) PutItem(stream, static_cast<uint16_t>(value));
}

void XLPutUByteArray(XLStream* stream, const uint8_t* bytes, uint32_t count) {
    if (PutArrayHeader(stream, xltype::UByteArray, count)) PutByteItems(stream, bytes, count);
}

void XLPutSInt16Array(XLStream* stream, const int16_t* values, uint32_t count) {
    if (!PutArrayHeader(stream, xltype::SInt16Array, count)) return;
    for (uint32_t i = 0; i < count; ++i) PutItem(stream, static_cast<uint16_t>(values[i]));
}

void XLPutUByteArrayFromUInt16(XLStream* stream, const uint16_t* values, uint32_t count) {
    if (!PutArrayHeader(stream, xltype::UByteArray, count)) return;
    for (uint32_t i = 0; i < count; ++i) PutItem(stream, static_cast<uint8_t>(values[i]));
}

void XLPutAttribute(XLStream* stream, uint16_t id) {
    if (stream->error != 0) return;
    if (id >= xlattr::kValidAttributeTable.size() || xlattr::kValidAttributeTable[id] == 0) {
        XLStreamSetError(stream, kXLErrorInvalidAttribute);
        return;
    }
    PutTag(stream, xltype::AttributeUByte);
    PutItem(stream, static_cast<uint8_t>(id));
}

void XLPutDataLength(XLStream* stream, uint32_t length) {
    if (length < 256) {
        PutTag(stream, xltype::EmbeddedDataByte);
        PutItem(stream, static_cast<uint8_t>(length));
    } else {
        XLPutDataLength32(stream, length);
    }
}

void XLPutDataLength32(XLStream* stream, uint32_t length) {
    PutTag(stream, xltype::EmbeddedData);
    PutItem(stream, length);
}

void XLPutEmbeddedData(XLStream* stream, const uint8_t* bytes, uint32_t length) {
    XLPutDataLength32(stream, length);
    PutByteItems(stream, bytes, length);
}

void XLPutRawUInt16(XLStream* stream, uint32_t value) {
    PutItem(stream, static_cast<uint16_t>(value));
}

void XLPutRawBytes(XLStream* stream, const uint8_t* bytes, uint32_t length) {
    PutByteItems(stream, bytes, length);
}

}  // namespace xlr
