// The watermark's look (shading patterns, palettes) and geometry (size on a
// shared sheet, angle, start point, which characters fall in the slot).
#include <gtest/gtest.h>

#include <cmath>

#include "fonts/watermark_geometry.h"
#include "fonts/watermark_look.h"

namespace {

using namespace xlr;

TEST(WatermarkLook, ShadePatternsAndPalettes) {
    const auto solid = ShadePattern(8);
    EXPECT_TRUE(std::all_of(solid.begin(), solid.end(), [](uint8_t b) { return b == 0; }));
    const auto lightest = ShadePattern(0);
    EXPECT_EQ(std::vector<uint8_t>(lightest.begin(), lightest.begin() + 8),
              (std::vector<uint8_t>{0xFB, 0xFB, 0, 0, 0xFF, 0xFF, 0, 0}));
    EXPECT_EQ(ShadePattern(-3), lightest);  // out of range: the nearest shade
    EXPECT_EQ(ShadePattern(40), solid);

    struct Case {
        int32_t color;
        bool monochrome;
        uint32_t space;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {1, false, 2, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF}},
        {6, false, 2, {0xFF, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
        {9, false, 2, {0, 0, 0, 0xFF, 0xFF, 0xFF}},  // unknown colours are black
        {-1, false, 2, {0, 0, 0, 0xFF, 0xFF, 0xFF}},
        {1, true, 1, {0x00, 0xFF}},  // grey jobs: a grey palette
    };
    for (const Case& c : cases) {
        const WatermarkPalette palette = WatermarkPaletteOf(c.color, c.monochrome);
        EXPECT_EQ(palette.colorSpace, c.space) << c.color;
        EXPECT_EQ(std::vector<uint8_t>(palette.Data().begin(), palette.Data().end()), c.bytes)
            << c.color;
    }
}

TEST(WatermarkGeometry, SizeFactorOnASharedSheet) {
    EXPECT_NEAR(SheetSizeFactor({0, 0, 4800, 6400}, 4), 0.96, 1e-12);
    EXPECT_EQ(SheetSizeFactor({100, 100, 4800, 6400}, 1), 1);
    // With a margin at the left and top the quarter-size pages keep part of it.
    EXPECT_NEAR(SheetSizeFactor({100, 200, 4900, 6600}, 4),
                ((50.0 + 4800) / 4900 - 0.04 + (100.0 + 6400) / 6600 - 0.04) / 2, 1e-12);
    EXPECT_NEAR(SheetSizeFactor({0, 0, 4800, 6400}, 2), 1 - 0.085, 1e-12);
    EXPECT_EQ(SheetSizeFactor({0, 0, 0, 0}, 4), 1);  // a frame that cannot be divided by
}

TEST(WatermarkGeometry, AngleFollowsModeLanguageAndOrientations) {
    const WatermarkBox frame{0, 0, 4800, 6400};
    const float diagonal = std::atan2(6400.0f, 4800.0f) * 180.0f / 3.1415927f;
    struct Case {
        const char* name;
        int32_t angle, mode;
        bool rtl;
        uint32_t n;
        int32_t turned;
        short slot, device, settings;
        float expected;
    };
    const Case cases[] = {
        {"diagonal", 0, 0, false, 1, 0, 1, 1, 1, diagonal},
        {"fixed, modulo 360", 405, 1, false, 1, 0, 1, 1, 1, 45},
        {"diagonal, right to left", 0, 0, true, 1, 0, 1, 1, 1, 360 - diagonal},
        {"fixed mode 2, right to left", 30, 2, true, 1, 0, 1, 1, 1, 330},
        {"fixed mode 1 ignores the language", 30, 1, true, 1, 0, 1, 1, 1, 30},
        {"diagonal, turned pages on two-up", 0, 0, false, 2, 1, 1, 1, 1, diagonal + 90},
        {"diagonal, portrait slot on landscape, 4-up", 0, 0, false, 4, 0, 1, 2, 1, -diagonal},
        {"diagonal, portrait slot on landscape, 2-up", 0, 0, false, 2, 0, 1, 2, 1, 180 - diagonal},
        {"diagonal, landscape slot on portrait, 4-up", 0, 0, false, 4, 0, 2, 1, 2, -diagonal - 180},
        {"diagonal, landscape slot on portrait, 6-up", 0, 0, false, 6, 0, 2, 1, 2, 360 - diagonal},
        {"fixed, all portrait", 30, 1, false, 4, 0, 1, 1, 1, 30},
        {"fixed, portrait page on landscape device", 30, 1, false, 4, 0, 1, 2, 1, 300},
        {"fixed, landscape page and settings, portrait device, 2-up", 30, 1, false, 2, 0, 2, 1, 2,
         -60},
        {"fixed, landscape page and settings, portrait device, 4-up", 30, 1, false, 4, 0, 2, 1, 2,
         300},
        {"fixed, landscape settings and device", 30, 1, false, 4, 0, 2, 2, 2, 30},
        {"fixed, page turned from portrait settings", 30, 1, false, 4, 0, 2, 1, 1, 120},
        {"fixed, page turned from portrait settings, one page", 30, 1, false, 1, 0, 2, 1, 1, 30},
        {"fixed, page turned from landscape settings", 30, 1, false, 4, 0, 1, 2, 2, -60},
    };
    for (const Case& c : cases) {
        const AngleInputs in{c.angle,  c.mode, frame,    c.rtl,     c.n,
                             c.turned, c.slot, c.device, c.settings};
        EXPECT_NEAR(WatermarkAngleOf(in), c.expected, 1e-4) << c.name;
    }
    EXPECT_EQ(AngleUpTo360(725), 5);
    EXPECT_EQ(AngleUpTo360(360), 360);
    EXPECT_EQ(AngleUpTo360(-30), -30);
}

TEST(WatermarkGeometry, TextStartsSoThatItCrossesTheCentre) {
    const WatermarkPoint centre = SlotCentre({100, 200, 1101, 2201}, 1);
    EXPECT_EQ(centre.x, 600);
    EXPECT_EQ(centre.y, 1200);
    EXPECT_EQ(SlotCentre({100, 200, 1100, 2200}, 0.5).x, 100 + 500 / 2);
    // Level text: it starts half its width left of the centre.
    const WatermarkPoint level = TextStart(centre, 400, 100, 0, 1);
    EXPECT_EQ(level.x, 400);
    const double r = std::hypot(200.0, 50.0), t = std::atan(50.0 / 200.0);
    EXPECT_EQ(level.y, 1200 + int32_t(std::sin(t / 2) * r));
    // Turned 90°: it starts below the centre and runs up.
    const WatermarkPoint up = TextStart(centre, 400, 100, 90, 1);
    EXPECT_EQ(up.y, 1200 + int32_t(std::sin(3.1415927f / 2 + t / 6) * r));
    EXPECT_GT(up.y, 1350);
}

TEST(WatermarkGeometry, CharacterStepsAndCells) {
    const CharacterStep level = CharacterStepOf(50, 80, 0);
    EXPECT_EQ(level.xSpacing, 50);
    EXPECT_EQ(level.ySpacing, 0);
    const CharacterStep up = CharacterStepOf(50, 80, 90);
    EXPECT_EQ(up.xSpacing, 0);
    EXPECT_EQ(up.ySpacing, -49);  // sin of the single-precision π/2 is a hair below 1: truncated
    EXPECT_EQ(up.yHeight, -79);

    // The height vector lies along the text, so a cell reaches its advance plus
    // its height along the baseline.
    const WatermarkBox box{0, 0, 1000, 1000};
    EXPECT_TRUE(CellTouchesBox({990, 500}, level, box));
    EXPECT_TRUE(CellTouchesBox({-120, 500}, level, box));
    EXPECT_FALSE(CellTouchesBox({-140, 500}, level, box));
    EXPECT_FALSE(CellTouchesBox({500, -1}, level, box));
    EXPECT_FALSE(CellTouchesBox({1000, 500}, level, box));
}

}  // namespace
