// The fixed parts of a downloaded PCL XL font header: the 8-byte descriptor
// and the segment headers. Their data is big-endian, as PCL XL defines it.
#pragma once

#include <array>
#include <cstdint>

#include "fonts/font_bytes.h"

namespace xlr {

constexpr uint16_t kTrueTypeMapping = 0x0001;
constexpr uint16_t kBitmapMapping = 0x0002;
constexpr uint8_t kTrueTypeScaling = 1;
constexpr uint8_t kBitmapScaling = 254;

constexpr size_t kFontDescriptorSize = 8;
constexpr size_t kSegmentHeaderSize = 6;         // two-byte identifier, four-byte size
constexpr uint16_t kSegmentTrueType = 0x4754;    // "GT"
constexpr uint16_t kSegmentResolution = 0x4252;  // "BR"
constexpr uint16_t kSegmentNull = 0xFFFF;

// Format 0, portrait, the mapping, the scaling technology, variety 0, the
// number of characters.
constexpr std::array<uint8_t, kFontDescriptorSize> FontDescriptor(uint16_t mapping, uint8_t scaling,
                                                                  uint16_t characters) {
    return {0x00,    0x00, static_cast<uint8_t>(mapping >> 8),    static_cast<uint8_t>(mapping),
            scaling, 0x00, static_cast<uint8_t>(characters >> 8), static_cast<uint8_t>(characters)};
}

inline std::array<uint8_t, kSegmentHeaderSize> SegmentHeader(uint16_t id, uint32_t size) {
    std::array<uint8_t, kSegmentHeaderSize> header{};
    StoreBE16(header.data(), id);
    StoreBE32(header.data() + 2, size);
    return header;
}

}  // namespace xlr
