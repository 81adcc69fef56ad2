// Feeds arbitrary bytes to the TrueType reader and the font download as a font
// file: glyph lookups, the glyph map, the font header and the glyphs of every
// printable character, written into a stream that discards its bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fonts/glyph_download.h"
#include "fonts/glyph_map.h"
#include "fonts/truetype_download.h"
#include "fonts/truetype_tables.h"
#include "pclxl/stream.h"

namespace {

uint32_t Discard(xlr::XLStream* stream, uintptr_t, uint8_t*, uint32_t fill) {
    stream->fill = 0;
    return fill;
}

constexpr std::string_view kText =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
    "abcdefghijklmnopqrstuvwxyz{|}~";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const xlr::FontImage font(data, size);
    for (uint32_t glyph = 0; glyph < 8; ++glyph) {
        uint32_t length = 0;
        if (const uint8_t* outline = xlr::FindGlyph(font, length, static_cast<uint16_t>(glyph)))
            (void)xlr::IsCompositeGlyph(xlr::FontBytes(outline, length));
    }

    xlr::OverlayGlyphMap map{};
    const uint16_t glyphs = xlr::GlyphCount(font);
    map.charCount = kText.size() > glyphs ? 256 : std::min<uint32_t>(glyphs, 256);
    std::strcpy(map.fontName, "FuzzKX_WM");
    xlr::XLStream* stream = xlr::XLStreamCreate(4096, Discard, 0);
    if (stream == nullptr) return 0;
    const bool headerSent =
        xlr::DownloadTrueTypeFontHeader(stream, font, map, xlr::FontNameOf(map));
    xlr::BuildGlyphMap(font, map);
    if (headerSent) xlr::DownloadTrueTypeGlyphs(stream, font, map, kText);
    xlr::XLStreamDestroy(stream);
    return 0;
}
