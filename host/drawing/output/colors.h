// Colours of Unidrv's drawing functions. The page is a 24-bit device: brush
// colours and translated pixel values are 24-bit device pixels, 0x00RRGGBB,
// as the graphics engine's 24-bit bitmaps hold them (blue in the low byte). A
// colour translation that says its destination is PAL_RGB gives 0x00BBGGRR.
#pragma once

#include <cstdint>

#include <winddi.h>

namespace xlhost {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

// A BRUSHOBJ's iSolidColor when the brush is a pattern, not a colour.
constexpr ULONG kPatternBrushColor = 0xFFFFFFFF;

constexpr Rgb RgbOfDeviceColor(ULONG value) {
    return Rgb{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
               static_cast<uint8_t>(value)};
}

constexpr ULONG DeviceColorOfRgb(Rgb c) {
    return (ULONG{c.r} << 16) | (ULONG{c.g} << 8) | c.b;
}

// A value that a colour translation gives, read by the translation's destination kind.
constexpr Rgb RgbOfTranslatedValue(ULONG value, USHORT dstType) {
    if (dstType == PAL_RGB)
        return Rgb{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                   static_cast<uint8_t>(value >> 16)};
    return RgbOfDeviceColor(value);
}

static_assert(RgbOfDeviceColor(0x00FF8000) == Rgb{0xFF, 0x80, 0x00});
static_assert(RgbOfTranslatedValue(0x000080FF, PAL_RGB) == Rgb{0xFF, 0x80, 0x00});

}  // namespace xlhost
