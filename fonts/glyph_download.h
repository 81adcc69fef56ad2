// TrueType glyphs of a downloaded font: one PCL XL character per glyph, its
// outline data unchanged behind a 6-byte header, and the components of a
// composite glyph ahead of it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "fonts/glyph_map.h"
#include "fonts/truetype_tables.h"
#include "pclxl/stream.h"

namespace xlr {

constexpr uint32_t kComponentCharCode = 0xFFFF;
constexpr size_t kTrueTypeCharHeaderSize = 6;

// Format 1, class 0, the glyph's length + 4, the glyph index (big-endian).
// None when the length does not fit the header's 16-bit field.
std::optional<std::array<uint8_t, kTrueTypeCharHeaderSize>> TrueTypeCharHeader(uint32_t glyphLength,
                                                                               uint16_t glyph);

// The glyph indices a composite glyph names, in record order; none when a
// record runs past the glyph.
std::optional<std::vector<uint16_t>> ComponentGlyphs(FontBytes composite);

// Whether DownloadTrueTypeGlyph would send glyph `glyph` whole: it lies inside
// the font, its length fits the character header, and, for a composite, every
// component record can be read and every component located.
bool TrueTypeGlyphSendable(FontImage font, uint16_t glyph);

// ReadChar with code 0xFFFF for each component of the composite glyph; the
// components are sent as they are, not expanded further. Every component is
// located before anything is sent: false, with nothing written, when a record
// or a component cannot be read.
bool DownloadComponentGlyphs(XLStream* stream, FontImage font, FontBytes composite);

// ReadChar of glyph `glyph` under its own index (after its components when it
// is a composite). A glyph that cannot be located or sent whole is marked
// kMissingGlyph in entry `code` of the map and nothing is written.
void DownloadTrueTypeGlyph(XLStream* stream, FontImage font, OverlayGlyphMap& map, uint8_t code,
                           uint16_t glyph);

// BeginChar with the map's font name, the glyph of every byte of `text` in
// order (repeats included), EndChar.
void DownloadTrueTypeGlyphs(XLStream* stream, FontImage font, OverlayGlyphMap& map,
                            std::string_view text);

}  // namespace xlr
