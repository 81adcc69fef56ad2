// Table, glyph and glyph-count lookups, on hand-built fonts and on truncated
// and damaged ones.
#include <gtest/gtest.h>

#include <memory>

#include "fonts/font_builder.h"
#include "fonts/truetype_tables.h"

namespace {

using namespace xltest;
using xlr::FindGlyph;
using xlr::FontImage;

// A font with three glyphs of 12, 0 and 18 bytes behind the given loca format.
Bytes ThreeGlyphFont(bool longOffsets) {
    const GlyphTables glyphs = GlyphsOf({SimpleGlyph(2), {}, SimpleGlyph(8)}, longOffsets);
    return BuildFont({{"head", HeadTable(longOffsets ? 1 : 0)},
                      {"maxp", MaxpTable(3)},
                      {"loca", glyphs.loca},
                      {"glyf", glyphs.glyf}});
}

// The offset of a glyph's data inside the image, or -1.
int64_t GlyphAt(const Bytes& font, uint16_t glyph, uint32_t& length) {
    const uint8_t* data = FindGlyph(FontImage(font), length, glyph);
    return data == nullptr ? -1 : data - font.data();
}

TEST(TrueTypeTables, FindGlyphReadsShortAndLongLoca) {
    for (bool longOffsets : {false, true}) {
        SCOPED_TRACE(longOffsets ? "long" : "short");
        const Bytes font = ThreeGlyphFont(longOffsets);
        const auto glyf = xlr::FindTable(FontImage(font), xlr::TableTag("glyf"));
        ASSERT_TRUE(glyf);
        const int64_t glyfAt = glyf->data() - font.data();
        uint32_t length = 0;
        EXPECT_EQ(GlyphAt(font, 0, length), glyfAt);
        EXPECT_EQ(length, 12u);
        EXPECT_EQ(GlyphAt(font, 1, length), glyfAt + 12);  // the empty glyph is found
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(GlyphAt(font, 2, length), glyfAt + 12);
        EXPECT_EQ(length, 18u);
        EXPECT_EQ(GlyphAt(font, 3, length), -1);  // loca has no entry 4
    }
}

TEST(TrueTypeTables, FindGlyphAnswersFromLocaAsWritten) {
    struct Case {
        const char* name;
        std::vector<uint32_t> loca;  // byte offsets, written as short entries
        uint16_t glyph;
        int64_t offsetInGlyf;  // -1: not found
        uint32_t length;
    };
    const Case cases[] = {
        {"equal entries: an empty glyph", {0, 0, 0, 0x20, 0x20, 0x40}, 3, 32, 0},
        {"next below start: wrapped length", {0, 0x20, 0x10, 0x40}, 1, -1, 0xFFFFFFF0u},
        {"next 0", {0, 0, 0x20}, 0, -1, 0},
        {"glyph past glyf", {0, 0x100}, 0, -1, 0x100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes font = BuildFont({{"head", HeadTable(0)},
                                      {"maxp", MaxpTable(8)},
                                      {"loca", LocaTable(c.loca, false)},
                                      {"glyf", Bytes(0x40, 0)}});
        const auto glyf = xlr::FindTable(FontImage(font), xlr::TableTag("glyf"));
        uint32_t length = 0;
        const int64_t at = GlyphAt(font, c.glyph, length);
        EXPECT_EQ(at, c.offsetInGlyf < 0 ? -1 : (glyf->data() - font.data()) + c.offsetInGlyf);
        EXPECT_EQ(length, c.length);
    }
}

TEST(TrueTypeTables, FindGlyphNeedsAllFourTables) {
    const GlyphTables glyphs = GlyphsOf({SimpleGlyph()}, false);
    const std::vector<TestTable> all = {{"head", HeadTable(0)},
                                        {"maxp", MaxpTable(1)},
                                        {"loca", glyphs.loca},
                                        {"glyf", glyphs.glyf}};
    for (size_t missing = 0; missing < all.size(); ++missing) {
        std::vector<TestTable> tables = all;
        tables[missing].tag = "xxxx";
        uint32_t length = 0;
        EXPECT_EQ(GlyphAt(BuildFont(tables), 0, length), -1) << all[missing].tag;
    }
    // Tags compare exactly: an upper-case "GLYF" is another table.
    std::vector<TestTable> tables = all;
    tables[3].tag = "GLYF";
    uint32_t length = 0;
    EXPECT_EQ(GlyphAt(BuildFont(tables), 0, length), -1);
}

TEST(TrueTypeTables, LaterDirectoryEntryWins) {
    const Bytes font = BuildFont({{"name", Bytes(8, 1)}, {"name", Bytes(4, 2)}});
    const auto table = xlr::FindTable(FontImage(font), xlr::TableTag("name"));
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 4u);
    EXPECT_EQ((*table)[0], 2);
}

TEST(TrueTypeTables, GlyphCountFromMaxp) {
    EXPECT_EQ(xlr::GlyphCount(FontImage(BuildFont({{"maxp", MaxpTable(517)}}))), 517);
    EXPECT_EQ(xlr::GlyphCount(FontImage(BuildFont({{"MAXP", MaxpTable(9)}}))), 9);
    EXPECT_EQ(xlr::GlyphCount(FontImage(BuildFont({{"head", HeadTable(0)}}))), 0);
    EXPECT_EQ(xlr::GlyphCount(FontImage(BuildFont({{"maxp", Bytes(5, 0xFF)}}))), 0);
    EXPECT_EQ(xlr::GlyphCount(FontImage()), 0);
}

TEST(TrueTypeTables, CompositeGlyphsHaveNegativeContourCounts) {
    EXPECT_TRUE(xlr::IsCompositeGlyph(CompositeGlyph({1, 2})));
    EXPECT_FALSE(xlr::IsCompositeGlyph(SimpleGlyph()));
    EXPECT_FALSE(xlr::IsCompositeGlyph({}));  // the empty glyph is simple
    EXPECT_FALSE(xlr::IsCompositeGlyph(Bytes{0xFF}));
    EXPECT_EQ(xlr::Swap32(0x11223344), 0x44332211u);
}

// Offsets read from the font point past its end: every lookup fails without
// reading outside the image. Each image is an exact-size heap copy, so the
// sanitizer build sees any read past it.
TEST(TrueTypeTables, DamagedFontsFailCleanly) {
    const Bytes good = ThreeGlyphFont(false);
    std::vector<Bytes> damaged;
    for (size_t cut = 0; cut < good.size(); ++cut)
        damaged.emplace_back(good.begin(), good.begin() + cut);
    Bytes farOffset = good;  // glyf's offset far beyond the image
    farOffset[12 + 3 * 16 + 8] = 0x7F;
    damaged.push_back(farOffset);
    Bytes longTable = good;  // loca's length past the image
    longTable[12 + 2 * 16 + 12] = 0xFF;
    damaged.push_back(longTable);
    Bytes manyTables = good;  // a directory longer than the image
    manyTables[4] = 0xFF;
    damaged.push_back(manyTables);

    for (const Bytes& font : damaged) {
        auto copy = std::make_unique<uint8_t[]>(font.size());
        std::copy(font.begin(), font.end(), copy.get());
        const FontImage image(copy.get(), font.size());
        for (uint16_t glyph = 0; glyph < 4; ++glyph) {
            uint32_t length = 0;
            const uint8_t* data = FindGlyph(image, length, glyph);
            if (data != nullptr) {
                EXPECT_GE(data, copy.get());
                EXPECT_LE(data + length, copy.get() + font.size());
            }
        }
        (void)xlr::GlyphCount(image);
    }
}

}  // namespace
