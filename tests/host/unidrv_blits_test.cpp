// Unidrv's bit-block transfers, read back from the bytes they spool: the image
// operators, the pixels, the crop to the clip and page, fills, and refusals.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <climits>
#include <random>

#include <xlplatform/engine.h>

#include "host/drawing_test_support.h"
#include "host/unidrv_drawing.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace {

using namespace drawingtest;
using namespace xlhost;
using namespace xlr;

struct ClipDeleter {
    void operator()(CLIPOBJ* clip) const { EngDeleteClip(clip); }
};
using Clip = std::unique_ptr<CLIPOBJ, ClipDeleter>;
struct XlateDeleter {
    void operator()(XLATEOBJ* xlate) const { xlplatform::DeleteXlate(xlate); }
};
using Xlate = std::unique_ptr<XLATEOBJ, XlateDeleter>;

// Distinct, unrepeating 24-bit pixels, so that images go out uncompressed.
void FillNoise(const Bitmap& bitmap, uint32_t seed) {
    std::mt19937 random(seed);
    for (LONG y = 0; y < bitmap.so()->sizlBitmap.cy; ++y)
        for (LONG x = 0; x < bitmap.so()->sizlBitmap.cx; ++x) bitmap.Set(x, y, random() & 0xFFFFFF);
}

uint32_t Pixel24(const Bitmap& bitmap, LONG x, LONG y) {
    const BYTE* p = bitmap.Row(y) + 3 * x;
    return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
}

class UnidrvBlitTest : public ::testing::Test {
  protected:
    DrawingPage page{800, 600};
};

TEST_F(UnidrvBlitTest, CopyBitsSendsTheRowsAsAnUncompressedRgbImage) {
    Bitmap source(5, 3, BMF_24BPP);
    FillNoise(source, 1);
    RECTL dest{10, 20, 15, 23};
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvCopyBits(page.Surface(), source.so(), nullptr, nullptr, &dest, &origin));

    const std::vector<uint8_t> expected = {
        xlop::PushGS,         xlop::SetClipToPage, xlop::SetROP,    xlop::SetSourceTxMode,
        xlop::SetPaintTxMode, xlop::SetColorSpace, xlop::SetCursor, xlop::BeginImage,
        xlop::ReadImage,      xlop::EndImage,      xlop::PopGS};
    EXPECT_EQ(page.Tags(), expected);
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    const DecodedImage& image = images[0];
    EXPECT_EQ(image.rop3, 0xCCu);
    EXPECT_EQ(image.colorSpace, 2u);  // eRGB
    EXPECT_EQ(image.mapping, 0u);     // eDirectPixel
    EXPECT_EQ(image.depth, 2u);       // e8Bit
    EXPECT_EQ(image.cursorX, 10);
    EXPECT_EQ(image.cursorY, 20);
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_EQ(image.destWidth, 5u);
    EXPECT_EQ(image.destHeight, 3u);
    EXPECT_EQ(image.compressions, std::vector<unsigned>{0});  // 15-byte rows, padded to 16
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 5; ++x)
            EXPECT_EQ(image.Rgb(x, y), Pixel24(source, x, y)) << x << "," << y;
}

TEST_F(UnidrvBlitTest, FlatRowsGoOutRunLengthEncoded) {
    Bitmap source(300, 40, BMF_24BPP);
    for (LONG y = 0; y < 40; ++y)
        for (LONG x = 0; x < 300; ++x) source.Set(x, y, y < 20 ? 0xFFFFFF : 0x404040);
    RECTL dest{0, 0, 300, 40};
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvCopyBits(page.Surface(), source.so(), nullptr, nullptr, &dest, &origin));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    for (unsigned mode : images[0].compressions) EXPECT_EQ(mode, 1u);  // eRLECompression
    EXPECT_LT(page.Spooled().size(), 300u * 40 * 3 / 10);
    EXPECT_EQ(images[0].Rgb(299, 0), 0xFFFFFFu);
    EXPECT_EQ(images[0].Rgb(0, 39), 0x404040u);
}

// Each source format with and without a translation, as the RGB (or palette)
// that reaches the printer.
struct FormatCase {
    const char* name;
    ULONG format;
    std::vector<ULONG> table;  // a palette translation when not empty
    std::vector<uint32_t> values;
    std::vector<uint32_t> expected;  // 0x00RRGGBB
};

class UnidrvBlitFormatTest : public UnidrvBlitTest,
                             public ::testing::WithParamInterface<FormatCase> {};

TEST_P(UnidrvBlitFormatTest, ColoursReachThePrinterAsRgb) {
    const FormatCase& c = GetParam();
    const auto width = static_cast<LONG>(c.values.size());
    Bitmap source(width, 1, c.format);
    for (LONG x = 0; x < width; ++x) source.Set(x, 0, c.values[x]);
    Xlate xlate(c.table.empty() ? nullptr : xlplatform::CreatePaletteXlate(c.table));
    RECTL dest{0, 0, width, 1};
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvCopyBits(page.Surface(), source.so(), nullptr, xlate.get(), &dest, &origin));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    const DecodedImage& image = images[0];
    for (LONG x = 0; x < width; ++x) {
        uint32_t rgb = 0;
        if (c.format == BMF_1BPP) {
            EXPECT_EQ(image.mapping, 1u);  // eIndexedPixel
            EXPECT_EQ(image.depth, 0u);    // e1Bit
            const uint8_t* p = image.palette.data() + 3 * (image.Bit(x, 0) ? 1 : 0);
            rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
        } else {
            rgb = image.Rgb(x, 0);
        }
        EXPECT_EQ(rgb, c.expected[x]) << "pixel " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, UnidrvBlitFormatTest,
    ::testing::Values(
        FormatCase{"mono_default",
                   BMF_1BPP,
                   {},
                   {0, 1, 1, 0, 1, 0, 0, 0, 1},
                   {0, 0xFFFFFF, 0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0xFFFFFF}},
        FormatCase{"mono_palette", BMF_1BPP, {0xFF0000, 0x0000FF}, {0, 1}, {0xFF0000, 0x0000FF}},
        FormatCase{"four_palette",
                   BMF_4BPP,
                   {0x000000, 0x112233, 0x445566, 0x778899},
                   {1, 2, 3, 9},
                   {0x112233, 0x445566, 0x778899, 0}},
        FormatCase{"four_default", BMF_4BPP, {}, {0, 9, 15}, {0x000000, 0xFF0000, 0xFFFFFF}},
        FormatCase{"eight_grey", BMF_8BPP, {}, {0, 128, 255}, {0x000000, 0x808080, 0xFFFFFF}},
        FormatCase{"eight_palette", BMF_8BPP, {0xABCDEF, 0x123456}, {1, 0}, {0x123456, 0xABCDEF}},
        FormatCase{"sixteen_555",
                   BMF_16BPP,
                   {},
                   {0x7C00, 0x03E0, 0x001F, 0x4210},
                   {0xFF0000, 0x00FF00, 0x0000FF, 0x848484}},
        FormatCase{"twentyfour", BMF_24BPP, {}, {0x123456, 0xFEDCBA}, {0x123456, 0xFEDCBA}},
        FormatCase{"thirtytwo", BMF_32BPP, {}, {0xFF123456, 0x00ABCDEF}, {0x123456, 0xABCDEF}}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

TEST_F(UnidrvBlitTest, MonoSourceKeepsItsBitsFromAnyColumn) {
    Bitmap source(21, 2, BMF_1BPP);
    for (LONG x = 0; x < 21; ++x) source.Set(x, 1, (x * 7 + 3) % 5 < 2);
    RECTL dest{100, 50, 113, 51};
    POINTL origin{5, 1};  // not on a byte boundary
    ASSERT_TRUE(DrvBitBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, &dest, &origin,
                          nullptr, nullptr, nullptr, 0xCCCC));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].palette, (std::vector<uint8_t>{0, 0, 0, 255, 255, 255}));
    ASSERT_EQ(images[0].width, 13u);
    for (unsigned x = 0; x < 13; ++x)
        EXPECT_EQ(images[0].Bit(x, 0), (((x + 5) * 7 + 3) % 5 < 2)) << x;
}

TEST_F(UnidrvBlitTest, OnlyThePartInsideTheClipRectangleIsSent) {
    Bitmap source(10, 10, BMF_24BPP);
    FillNoise(source, 2);
    Clip clip(xlplatform::CreateRectClip(RECTL{103, 204, 106, 206}));
    RECTL dest{100, 200, 110, 210};
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvCopyBits(page.Surface(), source.so(), clip.get(), nullptr, &dest, &origin));
    const auto& ops = page.Operators();
    const Operator* rect = FindOperator(ops, xlop::SetClipRectangle);
    ASSERT_NE(rect, nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(AttributeInteger(*rect, xlattr::BoundingBox, i),
                  (std::array<int, 4>{103, 204, 106, 206}[i]));
    const auto images = DecodeImages(ops);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].cursorX, 103);
    EXPECT_EQ(images[0].cursorY, 204);
    ASSERT_EQ(images[0].width, 3u);
    ASSERT_EQ(images[0].height, 2u);
    EXPECT_EQ(images[0].Rgb(0, 0), Pixel24(source, 3, 4));
    EXPECT_EQ(images[0].Rgb(2, 1), Pixel24(source, 5, 5));
}

TEST_F(UnidrvBlitTest, AComplexClipBecomesAClipPathOfItsRectangles) {
    Bitmap source(50, 50, BMF_24BPP);
    FillNoise(source, 3);
    const RECTL rects[] = {{0, 0, 10, 10}, {20, 20, 30, 40}};
    Clip clip(xlplatform::CreateRegionClip(rects));
    RECTL dest{0, 0, 50, 50};
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvCopyBits(page.Surface(), source.so(), clip.get(), nullptr, &dest, &origin));
    const auto& ops = page.Operators();
    ExpectBalancedGraphicsState(ops);
    ASSERT_NE(FindOperator(ops, xlop::RectanglePath, 1), nullptr);
    EXPECT_EQ(FindOperator(ops, xlop::RectanglePath, 2), nullptr);
    const Operator* replace = FindOperator(ops, xlop::SetClipReplace);
    ASSERT_NE(replace, nullptr);
    EXPECT_GT(replace->tagOffset, FindOperator(ops, xlop::RectanglePath, 1)->tagOffset);
    const auto images = DecodeImages(ops);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].width, 30u);  // the region's bounding box
    EXPECT_EQ(images[0].height, 40u);
}

TEST_F(UnidrvBlitTest, StretchSetsTheDestinationSizeAndMirrorsReversedRectangles) {
    Bitmap source(4, 2, BMF_24BPP);
    FillNoise(source, 4);
    RECTL src{0, 0, 4, 2};
    RECTL dest{112, 100, 100, 104};  // right to left: mirrored
    ASSERT_TRUE(DrvStretchBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr,
                              nullptr, &dest, &src, nullptr, COLORONCOLOR));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    const DecodedImage& image = images[0];
    EXPECT_EQ(image.cursorX, 100);
    EXPECT_EQ(image.cursorY, 100);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.destWidth, 12u);
    EXPECT_EQ(image.destHeight, 4u);
    for (unsigned x = 0; x < 4; ++x) EXPECT_EQ(image.Rgb(x, 1), Pixel24(source, 3 - x, 1));
}

// Sizes that PCL XL cannot carry are sampled at the device pixels that show.
TEST_F(UnidrvBlitTest, AHugeMagnificationIsSampledAtThePage) {
    Bitmap source(4, 4, BMF_24BPP);
    FillNoise(source, 6);
    RECTL src{0, 0, 4, 4};
    RECTL dest{-2000000000, -2000000000, 2000000000, 2000000000};
    ASSERT_TRUE(DrvStretchBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr,
                              nullptr, &dest, &src, nullptr, COLORONCOLOR));
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    const DecodedImage& image = images[0];
    EXPECT_EQ(image.cursorX, 0);
    EXPECT_EQ(image.cursorY, 0);
    EXPECT_EQ(image.width, 800u);
    EXPECT_EQ(image.height, 600u);
    EXPECT_EQ(image.destWidth, 800u);
    // The page lies inside source pixel (2, 2), a billion device pixels wide.
    EXPECT_EQ(image.Rgb(0, 0), Pixel24(source, 2, 2));
    EXPECT_EQ(image.Rgb(799, 599), Pixel24(source, 2, 2));
}

TEST_F(UnidrvBlitTest, APatternRopFillsTheRectangleWithTheBrush) {
    BRUSHOBJ brush = xlplatform::SolidBrush(0xFF8000);
    RECTL dest{30, 40, 70, 90};
    ASSERT_TRUE(DrvBitBlt(page.Surface(), nullptr, nullptr, nullptr, nullptr, &dest, nullptr,
                          nullptr, &brush, nullptr, 0xF0F0));
    const auto& ops = page.Operators();
    ExpectBalancedGraphicsState(ops);
    EXPECT_EQ(AttributeInteger(*FindOperator(ops, xlop::SetROP), xlattr::ROP3), 0xF0);
    const Operator* brushOp = FindOperator(ops, xlop::SetBrushSource);
    ASSERT_NE(brushOp, nullptr);
    const auto* rgb = brushOp->Find(xlattr::RGBColor);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(rgb->value.raw.begin(), rgb->value.raw.end()),
              (std::vector<uint8_t>{0xFF, 0x80, 0x00}));
    ASSERT_NE(FindOperator(ops, xlop::SetPenSource), nullptr);  // a null pen
    const Operator* rect = FindOperator(ops, xlop::RectanglePath);
    ASSERT_NE(rect, nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(AttributeInteger(*rect, xlattr::BoundingBox, i),
                  (std::array<int, 4>{30, 40, 70, 90}[i]));
    EXPECT_NE(FindOperator(ops, xlop::PaintPath), nullptr);
    EXPECT_EQ(FindOperator(ops, xlop::BeginImage), nullptr);
}

TEST_F(UnidrvBlitTest, ARopWithSourceAndPatternSendsTheImageAndTheBrush) {
    Bitmap source(2, 2, BMF_24BPP);
    FillNoise(source, 7);
    BRUSHOBJ brush = xlplatform::SolidBrush(0x00FF00);
    RECTL dest{0, 0, 2, 2};
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvBitBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, &dest, &origin,
                          nullptr, &brush, nullptr, 0xC0C0));  // MERGECOPY
    const auto images = DecodeImages(page.Operators());
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rop3, 0xC0u);
    ASSERT_TRUE(images[0].brush.has_value());
    EXPECT_EQ(*images[0].brush, (std::vector<uint8_t>{0x00, 0xFF, 0x00}));
}

// Calls that draw nothing: TRUE, and not a byte spooled.
TEST_F(UnidrvBlitTest, NothingToDrawWritesNothing) {
    Bitmap source(4, 4, BMF_24BPP);
    POINTL origin{0, 0};
    Clip emptyClip(xlplatform::CreateRectClip(RECTL{0, 0, 800, 600}));
    emptyClip->rclBounds = RECTL{10, 10, 10, 10};
    struct Case {
        const char* name;
        RECTL dest;
        CLIPOBJ* clip;
        ROP4 rop;
    };
    const Case cases[] = {
        {"empty rectangle", {10, 10, 10, 20}, nullptr, 0xCCCC},
        {"off the page", {900, 700, 904, 704}, nullptr, 0xCCCC},
        {"empty clip", {0, 0, 4, 4}, emptyClip.get(), 0xCCCC},
        {"destination rop", {0, 0, 4, 4}, nullptr, 0xAAAA},
        {"source outside its bitmap", {0, 0, 4, 4}, nullptr, 0xCCCC},
    };
    for (const Case& c : cases) {
        page.Clear();
        RECTL dest = c.dest;
        POINTL from = std::string(c.name) == "source outside its bitmap" ? POINTL{10, 10} : origin;
        EXPECT_TRUE(DrvBitBlt(page.Surface(), source.so(), nullptr, c.clip, nullptr, &dest, &from,
                              nullptr, nullptr, nullptr, c.rop))
            << c.name;
        EXPECT_TRUE(page.Spooled().empty()) << c.name;
    }
}

// Calls that cannot be drawn: FALSE with a last error, and not a byte spooled.
TEST_F(UnidrvBlitTest, MalformedOrUnsupportedCallsFailCleanly) {
    Bitmap source(4, 4, BMF_24BPP);
    Bitmap mask(4, 4, BMF_1BPP);
    const BYTE jpegBytes[] = {0xFF, 0xD8, 0xFF, 0xD9};
    HSURF jpegHandle = xlplatform::CreateCompressedSurface(BMF_JPEG, jpegBytes, SIZEL{4, 4});
    SURFOBJ* jpeg = EngLockSurface(jpegHandle);
    SURFOBJ noDevice = *page.Surface();
    noDevice.dhpdev = nullptr;
    BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
    RECTL dest{0, 0, 4, 4};
    POINTL origin{0, 0};

    ExpectFailsCleanly(page, "no surface", ERROR_INVALID_PARAMETER, [&] {
        return DrvCopyBits(nullptr, source.so(), nullptr, nullptr, &dest, &origin);
    });
    ExpectFailsCleanly(page, "no device", ERROR_INVALID_PARAMETER, [&] {
        return DrvCopyBits(&noDevice, source.so(), nullptr, nullptr, &dest, &origin);
    });
    ExpectFailsCleanly(page, "no rectangle", ERROR_INVALID_PARAMETER, [&] {
        return DrvCopyBits(page.Surface(), source.so(), nullptr, nullptr, nullptr, &origin);
    });
    ExpectFailsCleanly(page, "no source", ERROR_INVALID_PARAMETER, [&] {
        return DrvCopyBits(page.Surface(), nullptr, nullptr, nullptr, &dest, &origin);
    });
    ExpectFailsCleanly(page, "no source point", ERROR_INVALID_PARAMETER, [&] {
        return DrvCopyBits(page.Surface(), source.so(), nullptr, nullptr, &dest, nullptr);
    });
    ExpectFailsCleanly(page, "corrupt JPEG source", ERROR_INVALID_DATA, [&] {
        return DrvCopyBits(page.Surface(), jpeg, nullptr, nullptr, &dest, &origin);
    });
    ExpectFailsCleanly(page, "device source", ERROR_NOT_SUPPORTED, [&] {
        return DrvCopyBits(page.Surface(), page.Surface(), nullptr, nullptr, &dest, &origin);
    });
    ExpectFailsCleanly(page, "pattern brush", ERROR_NOT_SUPPORTED, [&] {
        return DrvBitBlt(page.Surface(), nullptr, nullptr, nullptr, nullptr, &dest, nullptr,
                         nullptr, &pattern, nullptr, 0xF0F0);
    });
    ExpectFailsCleanly(page, "mask with two rops", ERROR_NOT_SUPPORTED, [&] {
        return DrvBitBlt(page.Surface(), source.so(), mask.so(), nullptr, nullptr, &dest, &origin,
                         &origin, nullptr, nullptr, 0xAACC);
    });
    ExpectFailsCleanly(page, "stretch without source rectangle", ERROR_INVALID_PARAMETER, [&] {
        return DrvStretchBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr,
                             nullptr, &dest, nullptr, nullptr, COLORONCOLOR);
    });
    EngUnlockSurface(jpeg);
    EngDeleteSurface(jpegHandle);
}

TEST_F(UnidrvBlitTest, ARefusedSpoolWriteFailsTheCall) {
    Bitmap source(4, 4, BMF_24BPP);
    RECTL dest{0, 0, 4, 4};
    POINTL origin{0, 0};
    page.FailSpoolWrites();
    SetLastError(0);
    EXPECT_FALSE(DrvCopyBits(page.Surface(), source.so(), nullptr, nullptr, &dest, &origin));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
}

}  // namespace
