// Transfers that leave pixels off the page (transparent blits, alpha blends,
// gradients, parallelograms): an image alone when every pixel marks, else a
// mask that paints black followed by the image ORed onto it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <xlplatform/engine.h>

#include "host/drawing_test_support.h"
#include "host/unidrv_drawing.h"
#include "pclxl/operator_tags.h"

namespace {

using namespace drawingtest;
using namespace xlhost;

struct XlateDeleter {
    void operator()(XLATEOBJ* xlate) const { xlplatform::DeleteXlate(xlate); }
};
using Xlate = std::unique_ptr<XLATEOBJ, XlateDeleter>;

class UnidrvCompositeTest : public ::testing::Test {
  protected:
    DrawingPage page{400, 300};
};

// The mask pass and the image pass of a masked image, checked against the pixels
// that should mark (value) or not (nothing).
void ExpectMaskedPair(const std::vector<DecodedImage>& images,
                      const std::vector<std::optional<uint32_t>>& pixels, unsigned width) {
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
        const unsigned x = static_cast<unsigned>(i % width), y = static_cast<unsigned>(i / width);
        EXPECT_EQ(mask.Bit(x, y), pixels[i].has_value()) << x << "," << y;
        EXPECT_EQ(color.Rgb(x, y), pixels[i].value_or(0)) << x << "," << y;
    }
}

TEST_F(UnidrvCompositeTest, TransparentColourLeavesThePageAsItIs) {
    Bitmap source(3, 1);
    const uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF};  // green is transparent
    source.Fill([&](LONG x, LONG) { return pixels[x]; });
    RECTL src{0, 0, 3, 1};
    RECTL dest{10, 10, 16, 12};  // stretched: the printer scales image and mask alike
    ASSERT_TRUE(
        DrvTransparentBlt(page.Surface(), source.so(), nullptr, nullptr, &dest, &src, 0x00FF00, 0));
    const auto ops = page.Operators();
    ExpectBalancedGraphicsState(ops);
    const auto images = DecodeImages(ops);
    ExpectMaskedPair(images, {0xFF0000, std::nullopt, 0x0000FF}, 3);
    EXPECT_EQ(images[1].destWidth, 6u);
    EXPECT_EQ(images[1].destHeight, 2u);
}

TEST_F(UnidrvCompositeTest, ConstantAlphaBlendsOverWhitePaper) {
    Bitmap source(3, 1);
    const uint32_t pixels[] = {0x000000, 0xFFFFFF, 0xFF0000};
    source.Fill([&](LONG x, LONG) { return pixels[x]; });
    RECTL rect{0, 0, 3, 1};
    BLENDOBJ blend{{0, 0, 128, 0}};  // AC_SRC_OVER, constant alpha 128
    ASSERT_TRUE(DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr, &rect, &rect, &blend));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    // value * 128/255 + 255 * 127/255, rounded
    EXPECT_EQ(images[0].Rgb(0, 0), 0x7F7F7Fu);
    EXPECT_EQ(images[0].Rgb(1, 0), 0xFFFFFFu);
    EXPECT_EQ(images[0].Rgb(2, 0), 0xFF7F7Fu);
}

TEST_F(UnidrvCompositeTest, PerPixelAlphaLeavesClearPixelsOffThePage) {
    Bitmap source(3, 1, BMF_32BPP);
    const uint32_t pixels[] = {0xFFFF0000, 0, 0x80800000};  // opaque red, clear, half red
    source.Fill([&](LONG x, LONG) { return pixels[x]; });   // (premultiplied)
    RECTL rect{5, 5, 8, 6};
    RECTL src{0, 0, 3, 1};
    BLENDOBJ blend{{0, 0, 255, 1}};  // AC_SRC_ALPHA
    ASSERT_TRUE(DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr, &rect, &src, &blend));
    // 0x80 + 255 * 127/255 = 0xFF red; green and blue 0 + 127.
    ExpectMaskedPair(DecodeImages(page.Operators()), {0xFF0000, std::nullopt, 0xFF7F7F}, 3);
}

TEST_F(UnidrvCompositeTest, GradientRectangleShadesAcrossItsWidth) {
    TRIVERTEX vertices[2] = {{0, 0, 0x0000, 0x0000, 0xFF00, 0},
                             {256, 2, 0xFF00, 0x0000, 0x0000, 0}};
    GRADIENT_RECT rect{0, 1};
    ASSERT_TRUE(DrvGradientFill(page.Surface(), nullptr, nullptr, vertices, 2, &rect, 1, nullptr,
                                nullptr, GRADIENT_FILL_RECT_H));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    ASSERT_EQ(images[0].width, 256u);
    ASSERT_EQ(images[0].height, 2u);
    for (unsigned x : {0u, 1u, 128u, 255u}) {
        const uint32_t red = x * 255 / 256;
        EXPECT_EQ(images[0].Rgb(x, 1), (red << 16) | (255 - red)) << x;
    }
}

TEST_F(UnidrvCompositeTest, GradientTriangleMarksOnlyItsInside) {
    TRIVERTEX vertices[3] = {
        {0, 0, 0xFF00, 0, 0, 0}, {4, 0, 0xFF00, 0, 0, 0}, {0, 4, 0xFF00, 0, 0, 0}};
    GRADIENT_TRIANGLE triangle{0, 1, 2};
    ASSERT_TRUE(DrvGradientFill(page.Surface(), nullptr, nullptr, vertices, 3, &triangle, 1,
                                nullptr, nullptr, GRADIENT_FILL_TRIANGLE));
    // Pixels whose centres lie inside x + y <= 4.
    std::vector<std::optional<uint32_t>> expected;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            expected.push_back(x + y + 1 <= 4 ? std::optional<uint32_t>(0xFF0000) : std::nullopt);
    ExpectMaskedPair(DecodeImages(page.Operators()), expected, 4);
}

// EngPlgBlt draws the parallelogram: a quarter turn on whole pixels covers its
// box, so it goes out as one image.
TEST_F(UnidrvCompositeTest, QuarterTurnGoesOutAsOneRotatedImage) {
    Bitmap source(3, 2);
    source.Fill([](LONG x, LONG y) { return 0x100000 * (x + 1) + 0x10 * (y + 1); });
    // Top-left to (12, 10), top-right to (12, 13), bottom-left to (10, 10): clockwise.
    POINTFIX corners[3] = {xlplatform::PointFix(12, 10), xlplatform::PointFix(12, 13),
                           xlplatform::PointFix(10, 10)};
    RECTL src{0, 0, 3, 2};
    ASSERT_TRUE(DrvPlgBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr,
                          corners, &src, nullptr, COLORONCOLOR));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    const DecodedImage& image = images[0];
    EXPECT_EQ(image.cursorX, 10);
    EXPECT_EQ(image.cursorY, 10);
    ASSERT_EQ(image.width, 2u);
    ASSERT_EQ(image.height, 3u);
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 2; ++x)
            EXPECT_EQ(image.Rgb(x, y), 0x100000u * (y + 1) + 0x10 * (2 - x)) << x << "," << y;
}

TEST_F(UnidrvCompositeTest, SlantedParallelogramMarksOnlyItsPixels) {
    Bitmap source(4, 4, BMF_1BPP);
    Xlate palette(xlplatform::CreatePaletteXlate(std::vector<ULONG>{0x0000FF, 0x00FF00}));
    POINTFIX corners[3] = {xlplatform::PointFix(20, 20), xlplatform::PointFix(24, 24),
                           xlplatform::PointFix(20, 24)};
    RECTL src{0, 0, 4, 4};
    ASSERT_TRUE(DrvPlgBlt(page.Surface(), source.so(), nullptr, nullptr, palette.get(), nullptr,
                          nullptr, corners, &src, nullptr, COLORONCOLOR));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 2u);
    unsigned marked = 0;
    for (unsigned y = 0; y < images[0].height; ++y)
        for (unsigned x = 0; x < images[0].width; ++x)
            if (images[0].Bit(x, y)) {
                ++marked;
                EXPECT_EQ(images[1].Rgb(x, y), 0x0000FFu);
            }
    EXPECT_GT(marked, 0u);
    EXPECT_LT(marked, images[0].width * images[0].height);
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
    ExpectFailsCleanly(page, "alpha: no blend", ERROR_INVALID_PARAMETER, [&] {
        return DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr, &rect, &rect, nullptr);
    });
    ExpectFailsCleanly(page, "alpha: unknown operation", ERROR_INVALID_PARAMETER, [&] {
        return DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr, &rect, &rect, &badOp);
    });
    ExpectFailsCleanly(page, "alpha: per-pixel alpha without 32 bits", ERROR_INVALID_PARAMETER,
                       [&] {
                           return DrvAlphaBlend(page.Surface(), source.so(), nullptr, nullptr,
                                                &rect, &rect, &perPixel24);
                       });
    ExpectFailsCleanly(page, "gradient: vertex out of range", ERROR_INVALID_PARAMETER, [&] {
        return DrvGradientFill(page.Surface(), nullptr, nullptr, vertices, 2, &outOfRange, 1,
                               nullptr, nullptr, GRADIENT_FILL_RECT_H);
    });
    ExpectFailsCleanly(
        page, "parallelogram: source rectangle outside the source", ERROR_INVALID_PARAMETER, [&] {
            return DrvPlgBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr,
                             nullptr, corners, &outside, nullptr, COLORONCOLOR);
        });
    ExpectFailsCleanly(page, "parallelogram: corners beyond 28.4", ERROR_INVALID_PARAMETER, [&] {
        return DrvPlgBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr,
                         farCorners, &rect, nullptr, COLORONCOLOR);
    });
    ExpectFailsCleanly(page, "parallelogram: mask", ERROR_NOT_SUPPORTED, [&] {
        return DrvPlgBlt(page.Surface(), source.so(), source.so(), nullptr, nullptr, nullptr,
                         nullptr, corners, &rect, nullptr, COLORONCOLOR);
    });
}

}  // namespace
