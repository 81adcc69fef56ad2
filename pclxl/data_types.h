// PCL XL data type tags and the other one-byte tags of the binary stream. A
// tag's low bits give the element type and its high nibble the shape (scalar,
// array, xy pair, box), which lets the reader derive sizes instead of listing them.
#pragma once

#include <cstdint>

namespace xlr::xltype {

enum Tag : uint8_t {
    UByte = 0xC0,
    UInt16 = 0xC1,
    UInt32 = 0xC2,
    SInt16 = 0xC3,
    SInt32 = 0xC4,
    Real32 = 0xC5,

    UByteArray = 0xC8,
    UInt16Array = 0xC9,
    UInt32Array = 0xCA,
    SInt16Array = 0xCB,
    SInt32Array = 0xCC,
    Real32Array = 0xCD,

    UByteXY = 0xD0,
    UInt16XY = 0xD1,
    UInt32XY = 0xD2,
    SInt16XY = 0xD3,
    SInt32XY = 0xD4,
    Real32XY = 0xD5,

    UByteBox = 0xE0,
    UInt16Box = 0xE1,
    UInt32Box = 0xE2,
    SInt16Box = 0xE3,
    SInt32Box = 0xE4,
    Real32Box = 0xE5,

    // An attribute identifier follows, as one byte (the only form written) or as uint16.
    AttributeUByte = 0xF8,
    AttributeUInt16 = 0xF9,
    // Embedded data follows, its length as uint32 or as one byte.
    EmbeddedData = 0xFA,
    EmbeddedDataByte = 0xFB,
};

static_assert(Real32 == 0xC5 && SInt16Array == 0xCB && Real32XY == 0xD5 && SInt16Box == 0xE3);
static_assert(AttributeUByte == 0xF8 && EmbeddedDataByte == 0xFB);

}  // namespace xlr::xltype
