// Raster operations of Unidrv's drawing functions: ROP3 codes, and the ROP3
// that stands for a mix (R2 code) of a pen or brush with the page.
#pragma once

#include <array>
#include <cstdint>

#include <winddi.h>

namespace xlhost {

// The binary raster operations of MIX values (foreground in the low byte).
constexpr ULONG R2_BLACK = 1;
constexpr ULONG R2_NOTMERGEPEN = 2;
constexpr ULONG R2_MASKNOTPEN = 3;
constexpr ULONG R2_NOTCOPYPEN = 4;
constexpr ULONG R2_MASKPENNOT = 5;
constexpr ULONG R2_NOT = 6;
constexpr ULONG R2_XORPEN = 7;
constexpr ULONG R2_NOTMASKPEN = 8;
constexpr ULONG R2_MASKPEN = 9;
constexpr ULONG R2_NOTXORPEN = 10;
constexpr ULONG R2_NOP = 11;
constexpr ULONG R2_MERGENOTPEN = 12;
constexpr ULONG R2_COPYPEN = 13;
constexpr ULONG R2_MERGEPENNOT = 14;
constexpr ULONG R2_MERGEPEN = 15;
constexpr ULONG R2_WHITE = 16;

constexpr uint8_t kRopBlackness = 0x00;
constexpr uint8_t kRopNotSrcCopy = 0x33;
constexpr uint8_t kRopDestination = 0xAA;  // leaves the page as it is
constexpr uint8_t kRopSrcCopy = 0xCC;
constexpr uint8_t kRopSrcPaint = 0xEE;  // source OR page
constexpr uint8_t kRopPatCopy = 0xF0;
constexpr uint8_t kRopWhiteness = 0xFF;

// A ROP3 is the truth table of pattern (0xF0), source (0xCC) and destination (0xAA).
constexpr bool RopUsesSource(uint8_t rop) {
    return (((rop >> 2) ^ rop) & 0x33) != 0;
}
constexpr bool RopUsesPattern(uint8_t rop) {
    return (((rop >> 4) ^ rop) & 0x0F) != 0;
}
constexpr bool RopUsesDestination(uint8_t rop) {
    return (((rop >> 1) ^ rop) & 0x55) != 0;
}

// The ROP3 of each R2 mix, which is a function of pen and destination: the same
// function of pattern and destination, whatever the source.
constexpr std::array<uint8_t, 16> kRop3OfR2 = {0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A, 0x5F,
                                               0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA, 0xFF};
static_assert(kRop3OfR2[R2_COPYPEN - 1] == kRopPatCopy && kRop3OfR2[R2_NOP - 1] == kRopDestination);
static_assert(kRop3OfR2[R2_NOT - 1] == 0x55 && kRop3OfR2[R2_XORPEN - 1] == 0x5A);

// The ROP3 of the foreground mix; R2 codes wrap around modulo 16 as the engine reads them.
constexpr uint8_t Rop3OfMix(MIX mix) {
    return kRop3OfR2[((mix & 0xFF) - 1) & 0x0F];
}

// A pattern ROP3 rewritten to take the colour from the source instead of the
// pattern (inverted when `inverted`): for drawing a coloured image with the
// operation of a brush.
constexpr uint8_t SourceInPlaceOfPattern(uint8_t rop, bool inverted) {
    uint8_t out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int s = (bit >> 1) & 1;
        const int d = bit & 1;
        const int p = inverted ? 1 - s : s;
        if ((rop >> ((p << 2) | (s << 1) | d)) & 1) out |= static_cast<uint8_t>(1 << bit);
    }
    return out;
}
static_assert(SourceInPlaceOfPattern(kRopPatCopy, false) == kRopSrcCopy);
static_assert(SourceInPlaceOfPattern(kRopPatCopy, true) == kRopNotSrcCopy);

}  // namespace xlhost
