// Bytes per row of an uncompressed bitmap, as GDI lays bitmaps out: rows padded
// to whole 32-bit words.
#pragma once

#include <winddi.h>

namespace xlr {

// ((bits per pixel × width + 31) ÷ 32) × 4 for BMF_1BPP..BMF_32BPP; 0 for any
// other format, a negative width, or a row too long for a ULONG.
ULONG DibStride(ULONG format, LONG width);

}  // namespace xlr
