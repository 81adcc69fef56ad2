#include "fonts/glyph_download.h"

#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlr {
namespace {

// Component record flags.
constexpr uint16_t kArgsAreWords = 0x0001;
constexpr uint16_t kHaveScale = 0x0008;
constexpr uint16_t kMoreComponents = 0x0020;
constexpr uint16_t kHaveXYScale = 0x0040;
constexpr uint16_t kHaveTwoByTwo = 0x0080;

constexpr uint32_t kComponentsStart = 10;  // after numberOfContours and the bounding box

// A located glyph ready to be sent.
struct GlyphChar {
    FontBytes data;
    std::array<uint8_t, kTrueTypeCharHeaderSize> header;
};

std::optional<GlyphChar> LocateChar(FontImage font, uint16_t glyph) {
    uint32_t length = 0;
    const uint8_t* data = FindGlyph(font, length, glyph);
    if (data == nullptr) return std::nullopt;
    const auto header = TrueTypeCharHeader(length, glyph);
    if (!header) return std::nullopt;
    return GlyphChar{FontBytes(data, length), *header};
}

// ReadChar and the character block (header and outline) as one embedded block.
void SendChar(XLStream* stream, uint32_t charCode, const GlyphChar& glyph) {
    const uint32_t size = static_cast<uint32_t>(kTrueTypeCharHeaderSize + glyph.data.size());
    XLReadChar(stream, charCode, size);
    XLPutDataLength32(stream, size);
    XLPutRawBytes(stream, glyph.header.data(), kTrueTypeCharHeaderSize);
    XLPutRawBytes(stream, glyph.data.data(), static_cast<uint32_t>(glyph.data.size()));
}

}  // namespace

std::optional<std::array<uint8_t, kTrueTypeCharHeaderSize>> TrueTypeCharHeader(uint32_t glyphLength,
                                                                               uint16_t glyph) {
    if (glyphLength > 0xFFFF - 4) return std::nullopt;
    std::array<uint8_t, kTrueTypeCharHeaderSize> header{1, 0};
    StoreBE16(header.data() + 2, glyphLength + 4);
    StoreBE16(header.data() + 4, glyph);
    return header;
}

std::optional<std::vector<uint16_t>> ComponentGlyphs(FontBytes composite) {
    std::vector<uint16_t> glyphs;
    uint64_t at = kComponentsStart;
    for (;;) {
        const auto flags = PeekBE16(composite, at);
        const auto glyph = PeekBE16(composite, at + 2);
        if (!flags || !glyph) return std::nullopt;
        uint64_t size = 4 + ((*flags & kArgsAreWords) != 0 ? 4 : 2);
        if ((*flags & kHaveScale) != 0)
            size += 2;
        else if ((*flags & kHaveXYScale) != 0)
            size += 4;
        else if ((*flags & kHaveTwoByTwo) != 0)
            size += 8;
        if (!SubBytes(composite, at, size)) return std::nullopt;
        glyphs.push_back(*glyph);
        if ((*flags & kMoreComponents) == 0) return glyphs;
        at += size;
    }
}

namespace {

// The components of a composite glyph, each located; none when a record or a
// component cannot be read.
std::optional<std::vector<GlyphChar>> LocateComponents(FontImage font, FontBytes composite) {
    const auto components = ComponentGlyphs(composite);
    if (!components) return std::nullopt;
    std::vector<GlyphChar> chars;
    chars.reserve(components->size());
    for (uint16_t glyph : *components) {
        const auto located = LocateChar(font, glyph);
        if (!located) return std::nullopt;
        chars.push_back(*located);
    }
    return chars;
}

}  // namespace

bool TrueTypeGlyphSendable(FontImage font, uint16_t glyph) {
    const auto located = LocateChar(font, glyph);
    return located && (!IsCompositeGlyph(located->data) || LocateComponents(font, located->data));
}

bool DownloadComponentGlyphs(XLStream* stream, FontImage font, FontBytes composite) {
    const auto chars = LocateComponents(font, composite);
    if (!chars) return false;
    for (const GlyphChar& glyph : *chars) SendChar(stream, kComponentCharCode, glyph);
    return true;
}

void DownloadTrueTypeGlyph(XLStream* stream, FontImage font, OverlayGlyphMap& map, uint8_t code,
                           uint16_t glyph) {
    const auto located = LocateChar(font, glyph);
    const bool sendable = located && (!IsCompositeGlyph(located->data) ||
                                      DownloadComponentGlyphs(stream, font, located->data));
    if (!sendable) {
        map.glyphOf[code] = kMissingGlyph;
        return;
    }
    SendChar(stream, glyph, *located);
}

void DownloadTrueTypeGlyphs(XLStream* stream, FontImage font, OverlayGlyphMap& map,
                            std::string_view text) {
    const std::string_view name = FontNameOf(map);
    XLBeginChar(stream, reinterpret_cast<const uint8_t*>(name.data()),
                static_cast<uint32_t>(name.size()));
    for (char c : text) {
        const auto code = static_cast<uint8_t>(c);
        DownloadTrueTypeGlyph(stream, font, map, code, static_cast<uint16_t>(map.glyphOf[code]));
    }
    XLEndChar(stream);
}

}  // namespace xlr
