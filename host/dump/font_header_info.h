// The fields and segments of a downloaded PCL XL font header. The data inside
// the header is big-endian; it comes from the job, so every read is checked.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace xlhost {

struct FontSegment {
    std::string id;  // two characters ("GT", "PA"), or "NULL" for the end segment
    uint32_t size = 0;
};

struct FontHeaderInfo {
    uint8_t format = 0;
    uint8_t orientation = 0;
    uint16_t symbolSet = 0;
    uint8_t scaling = 0;  // 1 TrueType, 254 bitmap
    uint16_t characters = 0;
    std::vector<FontSegment> segments;
    std::string problem;  // empty when the segments end cleanly with NULL
};

// Reads the 8-byte descriptor and walks the segments that follow it.
FontHeaderInfo ReadFontHeaderInfo(std::span<const uint8_t> header);

// "format 0, TrueType, symbol set 590, 3 characters; segments PA 10, GT 2048, NULL 0"
std::string FontHeaderText(const FontHeaderInfo& info);

}  // namespace xlhost
