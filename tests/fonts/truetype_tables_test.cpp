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

// The offset of a glyph's data inside its glyf table, or -1.
int64_t GlyphAt(const Bytes& font, uint16_t glyph, uint32_t& length) {
    const uint8_t* data = FindGlyph(FontImage(font), length, glyph);
    const auto glyf = xlr::FindTable(FontImage(font), xlr::TableTag("glyf"));
    return data == nullptr ? -1 : data - glyf->data();
}

TEST(TrueTypeTables, FindGlyphAnswersFromLocaAsWritten) {
    struct Case {
        const char* name;
        bool longOffsets;
        std::vector<uint32_t> loca;  // byte offsets
        uint16_t glyph;
        int64_t at;  // in glyf; -1: not found
        uint32_t length;
    };
    const Case cases[] = {
        {"short", false, {0, 12, 12, 30}, 2, 12, 18},
        {"long", true, {0, 12, 12, 30}, 2, 12, 18},
        {"equal entries: an empty glyph", false, {0, 0, 0, 0x20, 0x20, 0x40}, 3, 32, 0},
        {"next below start: wrapped length", false, {0, 0x20, 0x10, 0x40}, 1, -1, 0xFFFFFFF0u},
        {"next 0", false, {0, 0, 0x20}, 0, -1, 0},
        {"glyph past glyf", true, {0, 0x100}, 0, -1, 0x100},
        {"glyph past loca", true, {0, 12, 12, 30}, 3, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes font = BuildFont({{"head", HeadTable(c.longOffsets ? 1 : 0)},
                                      {"maxp", MaxpTable(8)},
                                      {"loca", LocaTable(c.loca, c.longOffsets)},
                                      {"glyf", Bytes(0x40, 0)}});
        uint32_t length = 0;
        EXPECT_EQ(GlyphAt(font, c.glyph, length), c.at);
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
    const GlyphTables glyphs = GlyphsOf({SimpleGlyph(2), {}, SimpleGlyph(8)}, false);
    const Bytes good = BuildFont({{"head", HeadTable(0)},
                                  {"maxp", MaxpTable(3)},
                                  {"loca", glyphs.loca},
                                  {"glyf", glyphs.glyf}});
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
