// Put operations of the PCL XL stream: one tagged data value, an attribute
// identifier, an embedded-data length header, or raw bytes. Each does nothing
// once the stream has failed. Integers are truncated to the width of their type,
// as the byte format defines.
#pragma once

#include <cstdint>

#include "pclxl/stream.h"

namespace xlr {

void XLPutUByte(XLStream* stream, uint32_t value);             // C0 b
void XLPutUInt16(XLStream* stream, uint32_t value);            // C1 lo hi
void XLPutUInt32(XLStream* stream, uint32_t value);            // C2 4 bytes
void XLPutSInt16(XLStream* stream, int32_t value);             // C3 lo hi
void XLPutReal32(XLStream* stream, float value);               // C5 IEEE single
void XLPutUInt16XY(XLStream* stream, uint32_t x, uint32_t y);  // D1 x y
void XLPutSInt16XY(XLStream* stream, int32_t x, int32_t y);    // D3 x y
void XLPutReal32XY(XLStream* stream, float x, float y);        // D5 x y
void XLPutSInt16Box(XLStream* stream, int32_t left, int32_t top, int32_t right,
                    int32_t bottom);  // E3

// Arrays: the tag, the element count as a tagged uint16, the elements. A count
// above 65,535 cannot be written; it fails the stream (kXLErrorValueTooLong)
// instead of writing a header that disagrees with its data.
void XLPutUByteArray(XLStream* stream, const uint8_t* bytes, uint32_t count);    // C8
void XLPutSInt16Array(XLStream* stream, const int16_t* values, uint32_t count);  // CB
void XLPutUByteArrayFromUInt16(XLStream* stream, const uint16_t* values,
                               uint32_t count);  // C8, low bytes

// F8 and the identifier, which must be one of the valid attribute identifiers;
// any other fails the stream (kXLErrorInvalidAttribute) and writes nothing.
void XLPutAttribute(XLStream* stream, uint16_t id);

// FB and one length byte below 256, otherwise FA and four bytes.
void XLPutDataLength(XLStream* stream, uint32_t length);
// FA and four bytes, for any length.
void XLPutDataLength32(XLStream* stream, uint32_t length);
// XLPutDataLength32 of the byte count, then the bytes.
void XLPutEmbeddedData(XLStream* stream, const uint8_t* bytes, uint32_t length);

void XLPutRawUInt16(XLStream* stream, uint32_t value);  // two bytes, no tag
void XLPutRawBytes(XLStream* stream, const uint8_t* bytes, uint32_t length);

}  // namespace xlr
