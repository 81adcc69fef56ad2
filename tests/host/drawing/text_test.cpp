// Text objects laid out with fontconfig and FreeType, and DrvTextOut drawing them
// as 1-bit images of their glyphs.
#include <gtest/gtest.h>

#include <xlplatform/engine.h>

#include "host/drawing/drawing_test_support.h"
#include "host/drawing/font_face.h"
#include "host/drawing/text_objects.h"
#include "host/drawing/functions.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace {

using namespace drawingtest;
using namespace xlhost;
using namespace xlr;

constexpr MIX kCopyPen = 0x0D0D;

std::unique_ptr<TextRun> LayOut(std::u16string_view text, LONG height = 40,
                                POINTL origin = {100, 200}) {
    std::string error;
    auto run = LayOutText(text, "DejaVu Sans", height, origin, error);
    EXPECT_NE(run, nullptr) << error;
    return run;
}

// The glyph pixels FreeType renders for the run, drawn where its GLYPHPOS puts them.
unsigned GlyphPixels(const TextRun& run) {
    const FontFace* face = FontFace::FromProducer(run.font.pvProducer);
    unsigned count = 0;
    for (const GLYPHPOS& glyph : run.glyphs) {
        MonoGlyph bitmap;
        EXPECT_TRUE(face->RenderMono(glyph.hg, bitmap));
        for (uint8_t byte : bitmap.bits) count += static_cast<unsigned>(__builtin_popcount(byte));
    }
    return count;
}

TEST(LayOutText, FillsTheStringAndFontObjects) {
    auto run = LayOut(u"Hi!", 40, POINTL{100, 200});
    ASSERT_NE(run, nullptr);
    const STROBJ& str = run->str;
    EXPECT_EQ(str.cGlyphs, 3u);
    EXPECT_EQ(str.flAccel, SO_HORIZONTAL);
    EXPECT_EQ(std::u16string(str.pwszOrg), u"Hi!");
    ASSERT_EQ(str.pgp, run->glyphs.data());
    EXPECT_EQ(str.pgp[0].ptl.x, 100);
    for (ULONG i = 0; i < 3; ++i) {
        EXPECT_EQ(str.pgp[i].ptl.y, 200);
        EXPECT_NE(str.pgp[i].hg, 0u) << "DejaVu Sans has every glyph of \"Hi!\"";
        EXPECT_GT(str.pgp[i].ptl.x, i > 0 ? str.pgp[i - 1].ptl.x : 99);
    }
    EXPECT_LT(str.rclBkGround.top, 200);
    EXPECT_GT(str.rclBkGround.bottom, 200);
    EXPECT_LE(str.rclBkGround.left, 100);
    EXPECT_GT(str.rclBkGround.right, str.pgp[2].ptl.x);
    EXPECT_EQ(run->font.flFontType, FO_TYPE_TRUETYPE);
    const void* producer = run->font.pvProducer;
    ASSERT_NE(FontFace::FromProducer(producer), nullptr);
    EXPECT_EQ(FontFace::FromProducer(producer)->FamilyName(), "DejaVu Sans");
    // The font record lives as long as the run.
    run.reset();
    EXPECT_EQ(FontFace::FromProducer(producer), nullptr);
}

TEST(LayOutText, UnknownFamiliesFallBackAndSurrogatePairsAreOneGlyph) {
    std::string error;
    auto run = LayOutText(u"a\U0001F600b\xD800", "No Such Family At All", 30, POINTL{0, 50}, error);
    ASSERT_NE(run, nullptr) << error;
    // 'a', the pair, 'b', and a lone surrogate taken as U+FFFD.
    EXPECT_EQ(run->str.cGlyphs, 4u);
    EXPECT_EQ(run->text.size(), 5u);
}

class UnidrvTextTest : public ::testing::Test {
  protected:
    BOOL TextOut(const TextRun& run, ULONG color, CLIPOBJ* clip = nullptr) {
        BRUSHOBJ brush = xlplatform::SolidBrush(color);
        return DrvTextOut(page.Surface(), const_cast<STROBJ*>(&run.str),
                          const_cast<FONTOBJ*>(&run.font), clip, nullptr, nullptr, &brush, nullptr,
                          nullptr, kCopyPen);
    }

    DrawingPage page{800, 600};
};

TEST_F(UnidrvTextTest, GlyphsGoOutAsATransparentOneBitImageInTheBrushColour) {
    auto run = LayOut(u"Hi", 40, POINTL{100, 200});
    ASSERT_NE(run, nullptr);
    ASSERT_TRUE(TextOut(*run, 0xFF0000));
    DecodedImage image = page.Image();
    EXPECT_EQ(image.mapping, 1u);
    EXPECT_EQ(image.depth, 0u);
    EXPECT_EQ(image.palette, (std::vector<uint8_t>{255, 255, 255, 255, 0, 0}));
    EXPECT_EQ(image.sourceTxMode, 1u);
    EXPECT_EQ(image.rop3, 0xCCu);
    EXPECT_EQ(image.width, image.destWidth);
    // The image covers the glyphs and lies inside the text's box.
    EXPECT_GE(image.cursorX, run->bounds.left);
    EXPECT_GE(image.cursorY, run->bounds.top);
    EXPECT_LE(image.cursorX + int(image.width), run->bounds.right);
    EXPECT_LE(image.cursorY + int(image.height), run->bounds.bottom);
    // "H" and "i" do not overlap: the mask holds exactly their pixels.
    EXPECT_EQ(image.SetBits(), GlyphPixels(*run));
    EXPECT_GT(image.SetBits(), 0u);

    // White text is drawn as inverted black (NOTSRCCOPY).
    page.Clear();
    ASSERT_TRUE(TextOut(*run, 0xFFFFFF));
    image = page.Image();
    EXPECT_EQ(image.palette, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(image.rop3, 0x33u);

    // A clip cuts the mask.
    page.Clear();
    CLIPOBJ* clip = xlplatform::CreateRectClip(RECTL{0, 0, 800, 190});
    ASSERT_TRUE(TextOut(*run, 0, clip));
    EngDeleteClip(clip);
    image = page.Image();
    EXPECT_LE(image.cursorY + int(image.height), 190);
    EXPECT_LT(image.SetBits(), GlyphPixels(*run));
}

TEST_F(UnidrvTextTest, OpaqueRectangleFirstAndUnderlineLast) {
    auto run = LayOut(u"Ab");
    BRUSHOBJ black = xlplatform::SolidBrush(0);
    BRUSHOBJ yellow = xlplatform::SolidBrush(0xFFFF00);
    RECTL opaque = run->bounds;
    RECTL extra[2] = {{100, 205, 160, 207}, {0, 0, 0, 0}};
    ASSERT_TRUE(DrvTextOut(page.Surface(), &run->str, &run->font, nullptr, extra, &opaque, &black,
                           &yellow, nullptr, kCopyPen));
    const auto ops = page.Operators();
    ASSERT_EQ(ops.Count(xlop::RectanglePath), 2u);
    ASSERT_NE(ops.Find(xlop::BeginImage), nullptr);
    EXPECT_LT(ops.Find(xlop::RectanglePath, 0)->tagOffset, ops.Find(xlop::BeginImage)->tagOffset);
    EXPECT_GT(ops.Find(xlop::RectanglePath, 1)->tagOffset, ops.Find(xlop::BeginImage)->tagOffset);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::RectanglePath, 1), xlattr::BoundingBox, 1), 205);
}

TEST_F(UnidrvTextTest, MalformedCallsFailCleanly) {
    auto run = LayOut(u"x");
    BRUSHOBJ black = xlplatform::SolidBrush(0);
    BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
    FONTOBJ foreign = run->font;
    int notAFont = 0;
    foreign.pvProducer = &notAFont;
    RECTL opaque{0, 0, 10, 10};
    ExpectFailsCleanly(page, "no font", ERROR_INVALID_PARAMETER, [&] {
        return DrvTextOut(page.Surface(), &run->str, nullptr, nullptr, nullptr, nullptr, &black,
                          nullptr, nullptr, kCopyPen);
    });
    ExpectFailsCleanly(page, "a font the host did not make", ERROR_NOT_SUPPORTED, [&] {
        return DrvTextOut(page.Surface(), &run->str, &foreign, nullptr, nullptr, nullptr, &black,
                          nullptr, nullptr, kCopyPen);
    });
    ExpectFailsCleanly(page, "pattern foreground", ERROR_NOT_SUPPORTED, [&] {
        return DrvTextOut(page.Surface(), &run->str, &run->font, nullptr, nullptr, nullptr,
                          &pattern, nullptr, nullptr, kCopyPen);
    });
    ExpectFailsCleanly(page, "opaque rectangle without its brush", ERROR_INVALID_PARAMETER, [&] {
        return DrvTextOut(page.Surface(), &run->str, &run->font, nullptr, nullptr, &opaque, &black,
                          nullptr, nullptr, kCopyPen);
    });
}

}  // namespace
