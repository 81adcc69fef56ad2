// The run-length encoding that PCL XL reads for eRLECompression (PackBits): a
// control byte n of 0..127 is followed by n + 1 bytes taken as they are; one of
// 129..255 by a byte repeated 257 - n times. 128 is never written.
#pragma once

#include <cstddef>
#include <cstdint>

namespace xlhost {

// The most bytes that PackBits writes for `length` bytes: one control byte for
// every 128 bytes that cannot be repeated.
constexpr size_t PackBitsBound(size_t length) {
    return length + (length + 127) / 128;
}

// Encodes `length` bytes of `in` into `out`, which holds PackBitsBound(length)
// bytes. Returns the number of bytes written. Runs of three or more equal bytes
// are repeated; shorter ones go out as they are, so the bound holds.
size_t PackBits(const uint8_t* in, size_t length, uint8_t* out);

}  // namespace xlhost
