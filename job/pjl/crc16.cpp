#include "job/pjl/crc16.h"

#include <array>

namespace xlr {
namespace {

constexpr uint16_t kReflectedPolynomial = 0xA001;

constexpr std::array<uint16_t, 256> MakeTable() {
    std::array<uint16_t, 256> table{};
    for (uint32_t byte = 0; byte < 256; ++byte) {
        uint16_t crc = static_cast<uint16_t>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ kReflectedPolynomial)
                                 : static_cast<uint16_t>(crc >> 1);
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

constexpr uint16_t Compute(std::string_view bytes) {
    uint16_t crc = 0;
    for (char c : bytes)
        crc = static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ static_cast<uint8_t>(c)) & 0xFF]);
    return crc;
}

static_assert(Compute("123456789") == 0xBB3D, "the CRC-16/ARC check value");

}  // namespace

uint16_t Crc16Arc(std::string_view bytes) {
    return Compute(bytes);
}

uint16_t UsageHash(std::string_view bytes) {
    const uint16_t crc = Compute(bytes);
    return crc == 0 ? 0xFFFF : crc;
}

}  // namespace xlr
