// The glyph map of an overlay font: which glyph of the font each one-byte
// character code draws, built from the font's character map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fonts/truetype_tables.h"

namespace xlr {

constexpr uint32_t kMissingGlyph = 0xFFFF;
constexpr uint32_t kGlyphMapFlags = 0x4001;

// One per overlay font, made zero-filled for each drawing.
struct OverlayGlyphMap {
    uint32_t charCount;  // character codes the font is downloaded for, at most 256
    uint16_t weight;     // 400 or 700
    char fontName[642];  // the PCL XL name of the downloaded font, NUL-terminated
    uint32_t mapFlags;
    uint32_t glyphOf[256];  // glyph of each code; kMissingGlyph when the font lacks it
    uint32_t cmapFormat;    // format of the last subtable examined; 4 when one was used
};
static_assert(sizeof(OverlayGlyphMap) == 1680);
static_assert(offsetof(OverlayGlyphMap, fontName) == 6);
static_assert(offsetof(OverlayGlyphMap, mapFlags) == 648);
static_assert(offsetof(OverlayGlyphMap, glyphOf) == 652);

// The font name held in the map, up to its NUL.
inline std::string_view FontNameOf(const OverlayGlyphMap& map) {
    return std::string_view(map.fontName, std::char_traits<char>::length(map.fontName));
}

// Fills glyphOf and cmapFormat from the font's first format-4 character map
// subtable. Codes below charCount start as themselves; without a usable
// subtable (none, or one whose arrays run past the cmap table) that identity
// map stays and cmapFormat is 0.
//
// A Unicode subtable (Unicode platform, or Windows Unicode encoding) of a font
// downloaded for 95 codes or more maps code c through segment c. Any other
// subtable, or a smaller font, is read as a symbol font: codes 0-254 go through
// the segment whose start and end codes' low bytes hold them, as 0xF000 + c.
// Codes in no segment get glyph 32 under the Unicode rule and glyph 0 under
// the symbol rule.
void BuildGlyphMap(FontImage font, OverlayGlyphMap& map);

}  // namespace xlr
