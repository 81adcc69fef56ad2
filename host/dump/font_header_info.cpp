#include "host/dump/font_header_info.h"

#include <cstdio>

namespace xlhost {
namespace {

constexpr size_t kDescriptorSize = 8;
constexpr size_t kSegmentHeaderSize = 6;  // two-byte identifier, four-byte size
constexpr uint8_t kTrueTypeScaling = 1;
constexpr uint8_t kBitmapScaling = 254;

uint16_t PeekBE16(std::span<const uint8_t> bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

uint32_t PeekBE32(std::span<const uint8_t> bytes, size_t offset) {
    return uint32_t{bytes[offset]} << 24 | uint32_t{bytes[offset + 1]} << 16 |
           uint32_t{bytes[offset + 2]} << 8 | bytes[offset + 3];
}

std::string SegmentId(uint16_t id) {
    if (id == 0xFFFF) return "NULL";
    const char a = static_cast<char>(id >> 8), b = static_cast<char>(id);
    const auto printable = [](char c) { return c >= 0x20 && c < 0x7F; };
    if (printable(a) && printable(b)) return std::string{a, b};
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id);
    return text;
}

}  // namespace

FontHeaderInfo ReadFontHeaderInfo(std::span<const uint8_t> header) {
    FontHeaderInfo info;
    if (header.size() < kDescriptorSize) {
        info.problem = "the header is shorter than its 8-byte descriptor";
        return info;
    }
    info.format = header[0];
    info.orientation = header[1];
    info.symbolSet = PeekBE16(header, 2);
    info.scaling = header[4];
    info.characters = PeekBE16(header, 6);

    size_t offset = kDescriptorSize;
    for (;;) {
        if (kSegmentHeaderSize > header.size() - offset) {
            info.problem = offset == header.size()
                               ? "the segments end without a NULL segment"
                               : "a segment header is cut off at byte " + std::to_string(offset);
            return info;
        }
        FontSegment segment{SegmentId(PeekBE16(header, offset)), PeekBE32(header, offset + 2)};
        offset += kSegmentHeaderSize;
        info.segments.push_back(segment);
        if (segment.size > header.size() - offset) {
            info.problem = "segment " + segment.id + " of " + std::to_string(segment.size) +
                           " bytes runs past the end of the header";
            return info;
        }
        offset += segment.size;
        if (segment.id == "NULL") break;
    }
    if (offset != header.size())
        info.problem = std::to_string(header.size() - offset) + " bytes follow the NULL segment";
    return info;
}

std::string FontHeaderText(const FontHeaderInfo& info) {
    std::string text = "format " + std::to_string(info.format) + ", ";
    if (info.scaling == kTrueTypeScaling)
        text += "TrueType";
    else if (info.scaling == kBitmapScaling)
        text += "bitmap";
    else
        text += "scaling " + std::to_string(info.scaling);
    text += ", symbol set " + std::to_string(info.symbolSet) + ", " +
            std::to_string(info.characters) + " characters";
    if (!info.segments.empty()) {
        text += "; segments";
        for (size_t i = 0; i < info.segments.size(); ++i)
            text += (i == 0 ? " " : ", ") + info.segments[i].id + " " +
                    std::to_string(info.segments[i].size);
    }
    if (!info.problem.empty()) text += "; " + info.problem;
    return text;
}

}  // namespace xlhost
