// The character-code-to-glyph map: the symbol and Unicode rules on hand-built
// character maps, damaged maps, and DejaVu Sans checked against FreeType.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "fonts/font_builder.h"
#include "fonts/glyph_map.h"

namespace {

using namespace xltest;
using xlr::OverlayGlyphMap;

OverlayGlyphMap MapOf(const Bytes& font, uint32_t charCount) {
    OverlayGlyphMap map{};
    map.charCount = charCount;
    xlr::BuildGlyphMap(xlr::FontImage(font), map);
    return map;
}

Bytes FontWithCmap(const Bytes& cmap) {
    return BuildFont({{"cmap", cmap}, {"maxp", MaxpTable(300)}});
}

TEST(GlyphMap, SymbolEncodingMapsCodesThroughF0xx) {
    // Windows symbol encoding: codes live at 0xF020-0xF0FF and are found by the
    // low byte of a segment's ends; code 255 is never looked up.
    const Bytes font =
        FontWithCmap(CmapTable(3, 0, {{0xF020, 0xF0FF, 3, 0}, {0xFFFF, 0xFFFF, 1, 0}}));
    const OverlayGlyphMap map = MapOf(font, 256);
    EXPECT_EQ(map.glyphOf[0x41], 0xF044u);
    EXPECT_EQ(map.glyphOf[0xFE], 0xF101u);
    EXPECT_EQ(map.glyphOf[255], 255u);  // the identity map
}

TEST(GlyphMap, RuleFollowsEncodingAndCharCount) {
    // One segment 0x20-0x7E with delta 3; codes outside it show which rule ran.
    const std::vector<CmapSegment> segments = {{0x20, 0x7E, 3, 0}, {0xFFFF, 0xFFFF, 1, 0}};
    struct Case {
        const char* name;
        uint16_t platform, encoding;
        uint32_t charCount;
        uint32_t glyphOfA, glyphOf10;  // 'A', and code 0x10 that no segment holds
    };
    const Case cases[] = {
        {"Windows Unicode", 3, 1, 256, 0x44, 32},
        {"Unicode platform", 0, 3, 256, 0x44, 32},
        {"Windows Unicode with 94 codes: symbol rule", 3, 1, 94, (3 + 0xF041) % 65536, 0},
        {"Windows symbol", 3, 0, 256, (3 + 0xF041) % 65536, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OverlayGlyphMap map =
            MapOf(FontWithCmap(CmapTable(c.platform, c.encoding, segments)), c.charCount);
        EXPECT_EQ(map.glyphOf[0x41], c.glyphOfA);
        EXPECT_EQ(map.glyphOf[0x10], c.glyphOf10);
    }
}

TEST(GlyphMap, GlyphIdArrayThroughRangeOffsets) {
    // Segment 0 (0x41-0x43) reads glyphIdArray: its idRangeOffset entry is 4
    // bytes before the array (two segments), so code 0x41 takes element 0.
    // idDelta is added to what the array holds; a 0 there stays 0.
    const Bytes cmap = CmapTable(3, 1, {{0x41, 0x43, 5, 4}, {0xFFFF, 0xFFFF, 1, 0}}, {100, 0, 102});
    const OverlayGlyphMap map = MapOf(FontWithCmap(cmap), 256);
    EXPECT_EQ(map.glyphOf[0x41], 105u);
    EXPECT_EQ(map.glyphOf[0x42], 0u);
    EXPECT_EQ(map.glyphOf[0x43], 107u);

    // An idRangeOffset that points past the table gives glyph 0.
    const Bytes beyond = CmapTable(3, 1, {{0x41, 0x43, 0, 0x4000}, {0xFFFF, 0xFFFF, 1, 0}});
    EXPECT_EQ(MapOf(FontWithCmap(beyond), 256).glyphOf[0x41], 0u);
}

TEST(GlyphMap, WithoutUsableSubtableTheIdentityMapStays) {
    Bytes segCountPastTable = CmapTable(3, 1, {{0x20, 0x7E, 3, 0}, {0xFFFF, 0xFFFF, 1, 0}});
    segCountPastTable[12 + 6] = 0x40;                         // segCountX2 0x4004
    const Bytes recordsPastTable = {0, 0, 0, 5, 0, 3, 0, 1};  // five records promised, none whole
    Bytes subtablePastTable = CmapTable(3, 1, {{0x20, 0x7E, 3, 0}});
    subtablePastTable[8] = 0x7F;  // subtable offset far beyond the table
    const std::pair<const char*, Bytes> fonts[] = {
        {"no cmap", BuildFont({{"maxp", MaxpTable(300)}})},
        {"segment count past the table", FontWithCmap(segCountPastTable)},
        {"records past the table", FontWithCmap(recordsPastTable)},
        {"subtable past the table", FontWithCmap(subtablePastTable)},
    };
    for (const auto& [name, font] : fonts) {
        SCOPED_TRACE(name);
        const OverlayGlyphMap map = MapOf(font, 200);
        EXPECT_EQ(map.cmapFormat, 0u);
        EXPECT_EQ(map.glyphOf[0x41], 0x41u);
        EXPECT_EQ(map.glyphOf[199], 199u);
        EXPECT_EQ(map.glyphOf[200], 0u);
    }
}

// A real Unicode font whose first format-4 subtable is on the Unicode platform:
// every printable ASCII code maps to the glyph FreeType finds for it.
TEST(GlyphMap, DejaVuSansAgreesWithFreeType) {
    const Bytes font = ReadFontFile(DejaVuSansPath());
    ASSERT_FALSE(font.empty());
    const OverlayGlyphMap map = MapOf(font, 256);
    EXPECT_EQ(map.cmapFormat, 4u);

    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Memory_Face(library, font.data(), static_cast<FT_Long>(font.size()), 0, &face),
              0);
    for (uint32_t c = 0x20; c < 0x7F; ++c)
        EXPECT_EQ(map.glyphOf[c], FT_Get_Char_Index(face, c)) << "code " << c;
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

}  // namespace
