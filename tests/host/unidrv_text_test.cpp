// Text objects laid out with fontconfig and FreeType, and DrvTextOut drawing them
// as 1-bit images of their glyphs.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <xlplatform/engine.h>

#include "host/drawing_test_support.h"
#include "host/font_face.h"
#include "host/text_objects.h"
#include "host/unidrv_drawing.h"
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
    DrawingPage page{800, 600};
};

TEST_F(UnidrvTextTest, GlyphsGoOutAsATransparentOneBitImageInTheBrushColour) {
    auto run = LayOut(u"Hi", 40, POINTL{100, 200});
    ASSERT_NE(run, nullptr);
    BRUSHOBJ red = xlplatform::SolidBrush(0xFF0000);
    ASSERT_TRUE(DrvTextOut(page.Surface(), &run->str, &run->font, nullptr, nullptr, nullptr, &red,
                           nullptr, nullptr, kCopyPen));
    const auto ops = page.Operators();
    ExpectBalancedGraphicsState(ops);
    const auto images = DecodeImages(ops);
    ASSERT_EQ(images.size(), 1u);
    const DecodedImage& image = images[0];
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
}

TEST_F(UnidrvTextTest, WhiteTextIsDrawnAsInvertedBlack) {
    auto run = LayOut(u"W");
    BRUSHOBJ white = xlplatform::SolidBrush(0xFFFFFF);
    ASSERT_TRUE(DrvTextOut(page.Surface(), &run->str, &run->font, nullptr, nullptr, nullptr, &white,
                           nullptr, nullptr, kCopyPen));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].palette, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(images[0].rop3, 0x33u);  // NOTSRCCOPY: black glyph pixels print white
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
    const Operator* firstRect = ops.Find(xlop::RectanglePath, 0);
    const Operator* secondRect = ops.Find(xlop::RectanglePath, 1);
    const Operator* image = ops.Find(xlop::BeginImage);
    ASSERT_NE(firstRect, nullptr);
    ASSERT_NE(secondRect, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_LT(firstRect->tagOffset, image->tagOffset);
    EXPECT_GT(secondRect->tagOffset, image->tagOffset);
    EXPECT_EQ(AttributeValue(*secondRect, xlattr::BoundingBox, 1), 205);
    EXPECT_EQ(ops.Find(xlop::RectanglePath, 2), nullptr);
}

TEST_F(UnidrvTextTest, TheClipCutsTheMask) {
    auto run = LayOut(u"Clip", 60);
    BRUSHOBJ black = xlplatform::SolidBrush(0);
    CLIPOBJ* clip = xlplatform::CreateRectClip(RECTL{0, 0, 800, 180});
    ASSERT_TRUE(DrvTextOut(page.Surface(), &run->str, &run->font, clip, nullptr, nullptr, &black,
                           nullptr, nullptr, kCopyPen));
    EngDeleteClip(clip);
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_LE(images[0].cursorY + int(images[0].height), 180);
    EXPECT_LT(images[0].SetBits(), GlyphPixels(*run));
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
