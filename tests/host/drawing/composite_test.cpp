// Transfers that leave pixels off the page (transparent blits, alpha blends,
// gradients, parallelograms): an image alone when every pixel marks, else a
// mask that paints black followed by the image ORed onto it.
#include <gtest/gtest.h>

#include <xlplatform/engine.h>

#include "host/drawing/drawing_test_support.h"
#include "host/drawing/functions.h"

namespace {

using namespace drawingtest;
using namespace xlhost;

class UnidrvCompositeTest : public ::testing::Test {
  protected:
    // The mask pass and the image pass of a masked image, checked against the
    // pixels that should mark (value) or not (nothing).
    void ExpectMaskedPair(const std::vector<std::optional<uint32_t>>& pixels, unsigned width) {
        const auto images = page.Images();
        ASSERT_EQ(images.size(), 2u);
        const DecodedImage& mask = images[0];
        const DecodedImage& color = images[1];
        EXPECT_EQ(mask.depth, 0u);
        EXPECT_EQ(mask.palette, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0}));
        EXPECT_EQ(mask.sourceTxMode, 1u);  // white does not mark
        EXPECT_EQ(mask.rop3, 0xCCu);
        EXPECT_EQ(color.sourceTxMode, 0u);
        EXPECT_EQ(color.rop3, 0xEEu);  // ORed onto the black of the mask
        EXPECT_EQ(mask.cursorX, color.cursorX);
        EXPECT_EQ(mask.destWidth, color.destWidth);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const unsigned x = unsigned(i % width), y = unsigned(i / width);
            EXPECT_EQ(mask.Bit(x, y), pixels[i].has_value()) << x << "," << y;
            EXPECT_EQ(color.Rgb(x, y), pixels[i].value_or(0)) << x << "," << y;
        }
    }

    DrawingPage page{400, 300};
};

TEST_F(UnidrvCompositeTest, TransparentColourLeavesThePageAsItIs) {
    Bitmap source(3, 1);
    const uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF};  // green is transparent
    source.Fill([&](LONG x, LONG) { return pixels[x]; });
    RECTL src{0, 0, 3, 1};
    RECTL dest{10, 10, 16, 12};  // stretched: the printer scales image and mask alike
    ASSERT_TRUE(
        DrvTransparentBlt(page.Surface(), source.so(), nullptr, nullptr, &dest, &src, 0x00FF00, 0));
    ExpectMaskedPair({0xFF0000, std::nullopt, 0x0000FF}, 3);
    EXPECT_EQ(page.Images().at(1).destWidth, 6u);
}

TEST_F(UnidrvCompositeTest, AlphaBlendsOverWhitePaper) {
    // Constant alpha 128: value * 128/255 + 255 * 127/255, rounded; one image.
    Bitmap source(3, 1);
    const uint32_t pixels[] = {0x000000, 0xFFFFFF, 0xFF0000};
    source.Fill([&](LONG x, LONG) { return pixels[x]; });
    RECTL rect{0, 0, 3, 1};
    BLENDOBJ constant{{0, 0, 128, 0}};  // AC_SRC_OVER
    ASSERT_TRUE(
        DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr, &rect, &rect, &constant));
    const DecodedImage image = page.Image();
    EXPECT_EQ(image.Rgb(0, 0), 0x7F7F7Fu);
    EXPECT_EQ(image.Rgb(1, 0), 0xFFFFFFu);
    EXPECT_EQ(image.Rgb(2, 0), 0xFF7F7Fu);

    // Per-pixel alpha (premultiplied): clear pixels stay off the page.
    page.Clear();
    Bitmap argb(3, 1, BMF_32BPP);
    const uint32_t premultiplied[] = {0xFFFF0000, 0, 0x80800000};  // opaque, clear, half red
    argb.Fill([&](LONG x, LONG) { return premultiplied[x]; });
    BLENDOBJ perPixel{{0, 0, 255, 1}};  // AC_SRC_ALPHA
    ASSERT_TRUE(
        DrvAlphaBlend(page.Surface(), argb.so(), nullptr, nullptr, &rect, &rect, &perPixel));
    // 0x80 + 255 * 127/255 = 0xFF red; green and blue 0 + 127.
    ExpectMaskedPair({0xFF0000, std::nullopt, 0xFF7F7F}, 3);
}

TEST_F(UnidrvCompositeTest, GradientsShadeRectanglesAndMarkOnlyTheInsideOfTriangles) {
    TRIVERTEX vertices[3] = {{0, 0, 0x0000, 0x0000, 0xFF00, 0},
                             {256, 2, 0xFF00, 0x0000, 0x0000, 0}};
    GRADIENT_RECT rect{0, 1};
    ASSERT_TRUE(DrvGradientFill(page.Surface(), nullptr, nullptr, vertices, 2, &rect, 1, nullptr,
                                nullptr, GRADIENT_FILL_RECT_H));
    const DecodedImage image = page.Image();
    ASSERT_EQ(image.width, 256u);
    for (unsigned x : {0u, 1u, 128u, 255u}) {
        const uint32_t red = x * 255 / 256;
        EXPECT_EQ(image.Rgb(x, 1), (red << 16) | (255 - red)) << x;
    }

    page.Clear();
    vertices[0] = {0, 0, 0xFF00, 0, 0, 0};
    vertices[1] = {4, 0, 0xFF00, 0, 0, 0};
    vertices[2] = {0, 4, 0xFF00, 0, 0, 0};
    GRADIENT_TRIANGLE triangle{0, 1, 2};
    ASSERT_TRUE(DrvGradientFill(page.Surface(), nullptr, nullptr, vertices, 3, &triangle, 1,
                                nullptr, nullptr, GRADIENT_FILL_TRIANGLE));
    // Pixels whose centres lie inside x + y <= 4.
    std::vector<std::optional<uint32_t>> expected;
    for (int i = 0; i < 16; ++i)
        expected.push_back(i % 4 + i / 4 < 4 ? std::optional<uint32_t>(0xFF0000) : std::nullopt);
    ExpectMaskedPair(expected, 4);
}

TEST_F(UnidrvCompositeTest, ParallelogramsGoOutTurnedOrMasked) {
    // A quarter turn on whole pixels covers its box: one rotated image.
    Bitmap source(3, 2);
    source.Fill([](LONG x, LONG y) { return 0x100000 * (x + 1) + 0x10 * (y + 1); });
    // Top-left to (12, 10), top-right to (12, 13), bottom-left to (10, 10): clockwise.
    POINTFIX corners[3] = {xlplatform::PointFix(12, 10), xlplatform::PointFix(12, 13),
                           xlplatform::PointFix(10, 10)};
    RECTL src{0, 0, 3, 2};
    ASSERT_TRUE(DrvPlgBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr,
                          corners, &src, nullptr, COLORONCOLOR));
    const DecodedImage image = page.Image();
    EXPECT_EQ(image.cursorX, 10);
    EXPECT_EQ(image.cursorY, 10);
    ASSERT_EQ(image.width, 2u);
    ASSERT_EQ(image.height, 3u);
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 2; ++x)
            EXPECT_EQ(image.Rgb(x, y), 0x100000u * (y + 1) + 0x10 * (2 - x)) << x << "," << y;

    // A slanted one marks only its own pixels, in the translated colour.
    page.Clear();
    Bitmap mono(4, 4, BMF_1BPP);
    XLATEOBJ* palette = xlplatform::CreatePaletteXlate(std::vector<ULONG>{0x0000FF, 0x00FF00});
    POINTFIX slant[3] = {xlplatform::PointFix(20, 20), xlplatform::PointFix(24, 24),
                         xlplatform::PointFix(20, 24)};
    RECTL all{0, 0, 4, 4};
    ASSERT_TRUE(DrvPlgBlt(page.Surface(), mono.so(), nullptr, nullptr, palette, nullptr, nullptr,
                          slant, &all, nullptr, COLORONCOLOR));
    xlplatform::DeleteXlate(palette);
    const auto images = page.Images();
    ASSERT_EQ(images.size(), 2u);
    const unsigned marked = images[0].SetBits();
    EXPECT_GT(marked, 0u);
    EXPECT_LT(marked, images[0].width * images[0].height);
    for (unsigned y = 0; y < images[0].height; ++y)
        for (unsigned x = 0; x < images[0].width; ++x)
            EXPECT_TRUE(!images[0].Bit(x, y) || images[1].Rgb(x, y) == 0x0000FFu) << x << "," << y;
}

TEST_F(UnidrvCompositeTest, MalformedCallsFailCleanly) {
    Bitmap source(4, 4);
    RECTL rect{0, 0, 4, 4};
    BLENDOBJ badOp{{1, 0, 255, 0}};
    BLENDOBJ perPixel24{{0, 0, 255, 1}};
    TRIVERTEX vertices[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 0, 0, 0, 0}};
    GRADIENT_RECT outOfRange{0, 5};
    POINTFIX corners[3] = {xlplatform::PointFix(0, 0), xlplatform::PointFix(4, 0),
                           xlplatform::PointFix(0, 4)};
    POINTFIX farCorners[3] = {{0x7FFFFFF0, 0}, {0x7FFFFFF0, 64}, {0, 0}};
    RECTL outside{0, 0, 5, 4};
    const auto alpha = [&](BLENDOBJ* blend) {
        return DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr, &rect, &rect, blend);
    };
    const auto plg = [&](SURFOBJ* mask, POINTFIX* points, RECTL* src) {
        return DrvPlgBlt(page.Surface(), source.so(), mask, nullptr, nullptr, nullptr, nullptr,
                         points, src, nullptr, COLORONCOLOR);
    };
    ExpectFailsCleanly(page, "alpha: no blend", ERROR_INVALID_PARAMETER,
                       [&] { return alpha(nullptr); });
    ExpectFailsCleanly(page, "alpha: unknown operation", ERROR_INVALID_PARAMETER,
                       [&] { return alpha(&badOp); });
    ExpectFailsCleanly(page, "alpha: per-pixel alpha without 32 bits", ERROR_INVALID_PARAMETER,
                       [&] { return alpha(&perPixel24); });
    ExpectFailsCleanly(page, "gradient: vertex out of range", ERROR_INVALID_PARAMETER, [&] {
        return DrvGradientFill(page.Surface(), nullptr, nullptr, vertices, 2, &outOfRange, 1,
                               nullptr, nullptr, GRADIENT_FILL_RECT_H);
    });
    ExpectFailsCleanly(page, "parallelogram: source rectangle outside the source",
                       ERROR_INVALID_PARAMETER, [&] { return plg(nullptr, corners, &outside); });
    ExpectFailsCleanly(page, "parallelogram: corners beyond 28.4", ERROR_INVALID_PARAMETER,
                       [&] { return plg(nullptr, farCorners, &rect); });
    ExpectFailsCleanly(page, "parallelogram: mask", ERROR_NOT_SUPPORTED,
                       [&] { return plg(source.so(), corners, &rect); });
}

}  // namespace
