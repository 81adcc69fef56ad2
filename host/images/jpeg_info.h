// The frame size and component count of a JPEG stream, read by libjpeg from its
// header without decoding the image.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace xlhost {

struct JpegInfo {
    uint32_t width = 0;
    uint32_t height = 0;
    int components = 0;
};

// The header's facts, or libjpeg's message for a stream it cannot read.
std::variant<JpegInfo, std::string> ReadJpegInfo(std::span<const uint8_t> jpeg);

}  // namespace xlhost
