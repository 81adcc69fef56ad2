// The GDI text services over the machine's fonts: font mapping, font data,
// glyph bitmaps turned by the escapement, widths and extents, handles.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "fonts/font_builder.h"
#include "platform/src/gdi/sfnt_image.h"
#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

LOGFONTW Font(std::u16string_view face, LONG height, LONG weight = FW_NORMAL, LONG escapement = 0,
              BYTE pitchAndFamily = VARIABLE_PITCH | FF_SWISS) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfEscapement = font.lfOrientation = escapement;
    font.lfWeight = weight;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfPitchAndFamily = pitchAndFamily;
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// A screen context with a font selected, released with everything in it.
class GdiTextTest : public WorldTest {
  protected:
    void Select(const LOGFONTW& logical) {
        font_ = CreateFontIndirectW(&logical);
        ASSERT_NE(font_, nullptr);
        previous_ = SelectObject(dc_, font_);
        ASSERT_NE(previous_, nullptr);
    }
    void TearDown() override {
        if (font_ != nullptr) {
            SelectObject(dc_, previous_);
            DeleteObject(font_);
        }
        ReleaseDC(nullptr, dc_);
        WorldTest::TearDown();
    }

    struct Glyph {
        GLYPHMETRICS metrics{};
        DWORD size = 0;
        std::vector<uint8_t> bits;
    };
    Glyph Render(UINT character) {
        Glyph glyph;
        glyph.size =
            GetGlyphOutlineW(dc_, character, GGO_BITMAP, &glyph.metrics, 0, nullptr, &kIdentity);
        if (glyph.size == GDI_ERROR || glyph.size == 0) return glyph;
        glyph.bits.resize(glyph.size);
        EXPECT_EQ(GetGlyphOutlineW(dc_, character, GGO_BITMAP, &glyph.metrics, glyph.size,
                                   glyph.bits.data(), &kIdentity),
                  glyph.size);
        return glyph;
    }

    HDC dc_ = GetDC(nullptr);
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST_F(GdiTextTest, FacesMapToInstalledFontsAndTheChoiceIsRecorded) {
    struct Case {
        std::u16string_view face;
        LONG weight;
        BYTE pitchAndFamily;
        const char* family;
        bool boldStyle;
        bool substituted;
    };
    const Case cases[] = {
        {u"DejaVu Sans", FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans", false, false},
        {u"dejavu sans", FW_BOLD, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans", true, false},
        {u"No Such Face", FW_NORMAL, VARIABLE_PITCH | FF_ROMAN, "DejaVu Serif", false, true},
        {u"No Such Face", FW_NORMAL, FIXED_PITCH | FF_MODERN, "DejaVu Sans Mono", false, true},
    };
    for (const Case& c : cases) {
        const LOGFONTW logical = Font(c.face, -50, c.weight, 0, c.pitchAndFamily);
        HFONT font = CreateFontIndirectW(&logical);
        ASSERT_NE(font, nullptr);
        DeleteObject(font);
        const FontMapping& mapping = TheWorld().fontMappings.back();
        EXPECT_EQ(mapping.family, c.family);
        EXPECT_EQ(mapping.style.find("Bold") != std::string::npos, c.boldStyle) << mapping.style;
        EXPECT_EQ(mapping.substituted, c.substituted);
        EXPECT_EQ(mapping.requestedFace, c.face);
    }
    EXPECT_NE(FormatFontMapping(TheWorld().fontMappings.back()).find("\"No Such Face\" 400"),
              std::string::npos);
}

TEST_F(GdiTextTest, FontDataIsTheFileAndItsTables) {
    Select(Font(u"DejaVu Sans", -40));
    const xltest::Bytes file = xltest::ReadFontFile(TheWorld().fontMappings.back().file);
    ASSERT_FALSE(file.empty());
    const DWORD size = GetFontData(dc_, 0, 0, nullptr, 0);
    ASSERT_EQ(size, file.size());
    std::vector<uint8_t> whole(size);
    EXPECT_EQ(GetFontData(dc_, 0, 0, whole.data(), size), size);
    EXPECT_EQ(whole, file);

    // 'head' by its bytes read as a little-endian number, from offset 12.
    constexpr DWORD kHead = 'h' | 'e' << 8 | 'a' << 16 | 'd' << 24;
    EXPECT_EQ(GetFontData(dc_, kHead, 0, nullptr, 0), 54u);
    uint8_t magic[4] = {};
    EXPECT_EQ(GetFontData(dc_, kHead, 12, magic, sizeof magic), 4u);
    EXPECT_EQ(std::vector<uint8_t>(magic, magic + 4),
              (std::vector<uint8_t>{0x5F, 0x0F, 0x3C, 0xF5}));
    EXPECT_EQ(GetFontData(dc_, kHead, 50, magic, sizeof magic), 4u);  // the last four bytes
    EXPECT_EQ(GetFontData(dc_, kHead, 55, magic, sizeof magic), GDI_ERROR);
    EXPECT_EQ(GetFontData(dc_, 'x' | 'x' << 8 | 'x' << 16 | 'x' << 24, 0, nullptr, 0), GDI_ERROR);
}

TEST_F(GdiTextTest, GlyphBitmapsArePaddedRowsTurnedByTheEscapement) {
    Select(Font(u"DejaVu Sans", -100));
    const Glyph level = Render('L');
    ASSERT_NE(level.size, GDI_ERROR);
    const UINT rowBytes = (level.metrics.gmBlackBoxX + 31) / 32 * 4;
    EXPECT_EQ(level.size, rowBytes * level.metrics.gmBlackBoxY);
    EXPECT_GT(level.metrics.gmptGlyphOrigin.y, 50);  // the top of an L, upwards from the baseline
    EXPECT_GT(level.metrics.gmCellIncX, 40);
    EXPECT_EQ(level.metrics.gmCellIncY, 0);
    // An L: the bottom row is inked across, the top row only at its left.
    const auto inked = [&](const Glyph& g, UINT x, UINT y) {
        const UINT stride = (g.metrics.gmBlackBoxX + 31) / 32 * 4;
        return (g.bits[y * stride + x / 8] & (0x80 >> (x % 8))) != 0;
    };
    const UINT right = level.metrics.gmBlackBoxX - 1, bottom = level.metrics.gmBlackBoxY - 1;
    EXPECT_TRUE(inked(level, 0, 0));
    EXPECT_FALSE(inked(level, right, 0));
    EXPECT_TRUE(inked(level, right, bottom));

    SelectObject(dc_, previous_);
    DeleteObject(font_);
    Select(Font(u"DejaVu Sans", -100, FW_NORMAL, 900));  // turned a quarter counter-clockwise
    const Glyph up = Render('L');
    ASSERT_NE(up.size, GDI_ERROR);
    EXPECT_NEAR(int(up.metrics.gmBlackBoxX), int(level.metrics.gmBlackBoxY), 2);
    EXPECT_NEAR(int(up.metrics.gmBlackBoxY), int(level.metrics.gmBlackBoxX), 2);
    EXPECT_EQ(up.metrics.gmCellIncX, 0);
    EXPECT_EQ(up.metrics.gmCellIncY, level.metrics.gmCellIncX);
    // The L's foot now runs up its right side; its stem along the bottom.
    const UINT upRight = up.metrics.gmBlackBoxX - 1, upBottom = up.metrics.gmBlackBoxY - 1;
    EXPECT_TRUE(inked(up, upRight, 0));
    EXPECT_TRUE(inked(up, 0, upBottom));
    EXPECT_FALSE(inked(up, 0, 0));
}

TEST_F(GdiTextTest, GlyphQueriesThatCannotBeAnswered) {
    Select(Font(u"DejaVu Sans", -30));
    GLYPHMETRICS metrics{};
    EXPECT_EQ(GetGlyphOutlineW(dc_, ' ', GGO_BITMAP, &metrics, 0, nullptr, &kIdentity), 0u);
    EXPECT_EQ(metrics.gmBlackBoxX, 1u);  // a glyph without ink reports a one-pixel box
    EXPECT_EQ(metrics.gmBlackBoxY, 1u);
    EXPECT_EQ(GetGlyphOutlineW(dc_, 'A', GGO_BITMAP, &metrics, 0, nullptr, nullptr), GDI_ERROR);
    const DWORD size = GetGlyphOutlineW(dc_, 'A', GGO_BITMAP, &metrics, 0, nullptr, &kIdentity);
    std::vector<uint8_t> small(size - 1);
    EXPECT_EQ(GetGlyphOutlineW(dc_, 'A', GGO_BITMAP, &metrics, size - 1, small.data(), &kIdentity),
              GDI_ERROR);
}

TEST_F(GdiTextTest, WidthsAddUpToTheExtent) {
    Select(Font(u"DejaVu Sans", -100));
    INT widths[3] = {};
    ASSERT_TRUE(GetCharWidth32W(dc_, 'A', 'C', widths));
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc_, u"ABC", 3, &extent));
    EXPECT_EQ(extent.cx, widths[0] + widths[1] + widths[2]);
    EXPECT_GT(extent.cy, 100);  // the cell: ascent and descent, more than the em
    EXPECT_LT(extent.cy, 130);
    EXPECT_FALSE(GetCharWidth32W(dc_, 'C', 'A', widths));
}

TEST_F(GdiTextTest, HandlesThatAreNotLiveAreRefused) {
    Select(Font(u"DejaVu Sans", -20));
    // Deleted while selected, the font still answers until it is deselected.
    EXPECT_TRUE(DeleteObject(font_));
    INT width = 0;
    EXPECT_TRUE(GetCharWidth32W(dc_, 'A', 'A', &width));
    EXPECT_EQ(SelectObject(dc_, previous_), font_);
    EXPECT_EQ(SelectObject(dc_, font_), nullptr);
    font_ = nullptr;
    EXPECT_EQ(GetFontData(reinterpret_cast<HDC>(&width), 0, 0, nullptr, 0), GDI_ERROR);
}

// A face of a collection file is answered as a font of its own: its directory
// with offsets into the new image, its tables behind it.
TEST(GdiFontImage, CollectionFaceBecomesAStandaloneImage) {
    using namespace xltest;
    const Bytes first = BuildFont({{"head", HeadTable(0)}, {"maxp", MaxpTable(7)}});
    const Bytes second = BuildFont({{"maxp", MaxpTable(9)}, {"name", Bytes(6, 0x5A)}});
    Bytes ttc = {'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 2};
    PutBE32(ttc, 20);
    PutBE32(ttc, 0);  // patched below
    // Table offsets in a collection count from the start of the file.
    const auto append = [&ttc](const Bytes& font) {
        const uint32_t base = static_cast<uint32_t>(ttc.size());
        Bytes moved = font;
        const uint32_t tables = uint32_t{font[4]} << 8 | font[5];
        for (uint32_t t = 0; t < tables; ++t) {
            const size_t at = 12 + t * 16 + 8;
            const uint32_t offset = uint32_t{font[at]} << 24 | uint32_t{font[at + 1]} << 16 |
                                    uint32_t{font[at + 2]} << 8 | font[at + 3];
            for (int i = 0; i < 4; ++i)
                moved[at + i] = static_cast<uint8_t>((offset + base) >> (24 - 8 * i));
        }
        ttc.insert(ttc.end(), moved.begin(), moved.end());
        return base;
    };
    append(first);
    const uint32_t secondAt = append(second);
    for (int i = 0; i < 4; ++i) ttc[16 + i] = static_cast<uint8_t>(secondAt >> (24 - 8 * i));

    EXPECT_EQ(FaceImage(ttc, 1), second);
    EXPECT_EQ(FaceImage(ttc, 0), first);
    EXPECT_FALSE(FaceImage(ttc, 2));
    Bytes cut = ttc;
    cut.resize(ttc.size() - 4);  // the second face's last table runs past the file
    EXPECT_FALSE(FaceImage(cut, 1));
    EXPECT_EQ(FaceImage(first, 0), first);  // not a collection: the file itself
}

}  // namespace
