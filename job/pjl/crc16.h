// The checksum of the usage line's identity fields.
#pragma once

#include <cstdint>
#include <string_view>

namespace xlr {

// CRC-16 with the reflected polynomial 0xA001, initial value 0 and no final
// inversion (the ARC variant): "123456789" gives 0xBB3D.
uint16_t Crc16Arc(std::string_view bytes);

// The usage line's hash of a text: its CRC-16, with 0xFFFF in place of 0 (and
// for an empty text), so that a printed hash is never 0.
uint16_t UsageHash(std::string_view bytes);

}  // namespace xlr
