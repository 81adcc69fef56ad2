// What a foreground ROP3 reads, as the image sender needs to know it: whether
// it paints a constant, and whether it uses the pattern, the source or the
// destination. Bit i of a ROP3 is its result for pattern × 4 + source × 2 +
// destination = i.
#pragma once

#include <array>
#include <cstdint>

namespace xlr {

enum RopClassBits : uint8_t {
    kRopConstant = 1,
    kRopUsesPattern = 2,
    kRopUsesSource = 4,
    kRopUsesDestination = 8,
};

namespace detail {

constexpr uint8_t ComputedRopClass(uint8_t r) {
    uint8_t c = 0;
    if ((((r >> 2) ^ r) & 0x33) != 0) c |= kRopUsesSource;
    if ((r >> 4) != (r & 0x0F)) c |= kRopUsesPattern;
    if ((((r >> 1) ^ r) & 0x55) != 0) c |= kRopUsesDestination;
    return c;
}

constexpr std::array<uint8_t, 256> MakeRopClassTable() {
    std::array<uint8_t, 256> table{};
    for (int r = 0; r < 256; ++r) table[r] = ComputedRopClass(static_cast<uint8_t>(r));
    table[0x00] = kRopConstant;  // BLACKNESS
    table[0xFF] = kRopConstant;  // WHITENESS
    // The source operations are sent as images even where they also read the
    // destination: the printer combines them through the ROP3 set beforehand.
    for (uint8_t r : {0x11, 0x33, 0x44, 0x66, 0x77, 0x99, 0xCC, 0xDD}) table[r] = kRopUsesSource;
    table[0xAA] = kRopUsesDestination;  // the destination unchanged
    table[0xF0] = kRopUsesPattern;      // PATCOPY
    return table;
}

}  // namespace detail

inline constexpr std::array<uint8_t, 256> kRopClass = detail::MakeRopClassTable();

static_assert(kRopClass[0xCC] == kRopUsesSource);
static_assert(kRopClass[0x5A] == (kRopUsesPattern | kRopUsesDestination));  // PATINVERT
static_assert(kRopClass[0x55] == kRopUsesDestination);                      // DSTINVERT
static_assert(kRopClass[0x88] == (kRopUsesSource | kRopUsesDestination));   // SRCAND
static_assert(kRopClass[0xB8] == (kRopUsesPattern | kRopUsesSource | kRopUsesDestination));

}  // namespace xlr
