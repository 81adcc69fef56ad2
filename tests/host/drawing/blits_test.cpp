// Unidrv's bit-block transfers, read back from the bytes they spool: the image
// operators, the pixels, the crop to the clip and page, fills, and refusals.
#include <gtest/gtest.h>

#include <random>

#include <xlplatform/engine.h>

#include "host/drawing/drawing_test_support.h"
#include "host/drawing/functions.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"

namespace {

using namespace drawingtest;
using namespace xlhost;
using namespace xlr;

// Distinct, unrepeating 24-bit pixels, so that images go out uncompressed.
void FillNoise(const Bitmap& bitmap, uint32_t seed) {
    std::mt19937 random(seed);
    bitmap.Fill([&](LONG, LONG) { return random() & 0xFFFFFF; });
}

class UnidrvBlitTest : public ::testing::Test {
  protected:
    BOOL CopyBits(const Bitmap& source, RECTL dest, CLIPOBJ* clip = nullptr,
                  XLATEOBJ* xlate = nullptr) {
        POINTL origin{0, 0};
        return DrvCopyBits(page.Surface(), source.so(), clip, xlate, &dest, &origin);
    }
    BOOL StretchBlt(const Bitmap& source, RECTL dest) {
        RECTL src{0, 0, source.so()->sizlBitmap.cx, source.so()->sizlBitmap.cy};
        return DrvStretchBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, nullptr,
                             nullptr, &dest, &src, nullptr, COLORONCOLOR);
    }

    DrawingPage page{800, 600};
};

TEST_F(UnidrvBlitTest, CopyBitsSendsTheRowsAsAnUncompressedRgbImage) {
    Bitmap source(5, 3);
    FillNoise(source, 1);
    ASSERT_TRUE(CopyBits(source, RECTL{10, 20, 15, 23}));
    const auto ops = page.Operators();
    const std::vector<uint8_t> expected = {
        xlop::PushGS,         xlop::SetClipToPage, xlop::SetROP,    xlop::SetSourceTxMode,
        xlop::SetPaintTxMode, xlop::SetColorSpace, xlop::SetCursor, xlop::BeginImage,
        xlop::ReadImage,      xlop::EndImage,      xlop::PopGS};
    EXPECT_EQ(ops.Tags(), expected);
    EXPECT_EQ(AttributeValue(ops[5], xlattr::ColorSpace), 2);  // eRGB
    const DecodedImage image = page.Image();
    EXPECT_EQ(image.rop3, 0xCCu);
    EXPECT_EQ(image.mapping, 0u);  // eDirectPixel
    EXPECT_EQ(image.depth, 2u);    // e8Bit
    EXPECT_EQ(image.cursorX, 10);
    EXPECT_EQ(image.cursorY, 20);
    EXPECT_EQ(image.destWidth, 5u);
    EXPECT_EQ(image.destHeight, 3u);
    EXPECT_EQ(image.compressions, std::vector<unsigned>{0});  // 15-byte rows, padded to 16
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 5; ++x)
            EXPECT_EQ(image.Rgb(x, y), source.Rgb(x, y)) << x << "," << y;

    // Flat rows go out run-length encoded.
    page.Clear();
    Bitmap flat(300, 40);
    flat.Fill([](LONG, LONG y) { return y < 20 ? 0xFFFFFFu : 0x404040u; });
    ASSERT_TRUE(CopyBits(flat, RECTL{0, 0, 300, 40}));
    const DecodedImage packed = page.Image();
    for (unsigned mode : packed.compressions) EXPECT_EQ(mode, 1u);  // eRLECompression
    EXPECT_LT(page.Spooled().size(), 300u * 40 * 3 / 10);
    EXPECT_EQ(packed.Rgb(299, 0), 0xFFFFFFu);
    EXPECT_EQ(packed.Rgb(0, 39), 0x404040u);
}

// Each source format with and without a translation, as the RGB (or palette)
// that reaches the printer.
TEST_F(UnidrvBlitTest, ColoursOfEveryFormatReachThePrinterAsRgb) {
    struct Case {
        const char* name;
        ULONG format;
        std::vector<ULONG> table;  // a palette translation when not empty
        std::vector<uint32_t> values;
        std::vector<uint32_t> expected;  // 0x00RRGGBB
    };
    const uint32_t kWhite = 0xFFFFFF;
    const Case cases[] = {
        {"1-bit", BMF_1BPP, {}, {0, 1, 1, 0, 1}, {0, kWhite, kWhite, 0, kWhite}},
        {"1-bit, palette", BMF_1BPP, {0xFF0000, 0x0000FF}, {0, 1}, {0xFF0000, 0x0000FF}},
        {"4-bit, palette", BMF_4BPP, {0, 0x112233, 0x445566}, {1, 2, 9}, {0x112233, 0x445566, 0}},
        {"4-bit", BMF_4BPP, {}, {0, 9, 15}, {0x000000, 0xFF0000, kWhite}},
        {"8-bit grey", BMF_8BPP, {}, {0, 128, 255}, {0x000000, 0x808080, kWhite}},
        {"8-bit, palette", BMF_8BPP, {0xABCDEF, 0x123456}, {1, 0}, {0x123456, 0xABCDEF}},
        {"16-bit 555", BMF_16BPP, {}, {0x7C00, 0x001F, 0x4210}, {0xFF0000, 0x0000FF, 0x848484}},
        {"32-bit", BMF_32BPP, {}, {0xFF123456, 0x00ABCDEF}, {0x123456, 0xABCDEF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page.Clear();
        const auto width = static_cast<LONG>(c.values.size());
        Bitmap source(width, 1, c.format);
        source.Fill([&](LONG x, LONG) { return c.values[x]; });
        XLATEOBJ* xlate = c.table.empty() ? nullptr : xlplatform::CreatePaletteXlate(c.table);
        ASSERT_TRUE(CopyBits(source, RECTL{0, 0, width, 1}, nullptr, xlate));
        if (xlate != nullptr) xlplatform::DeleteXlate(xlate);
        const DecodedImage image = page.Image();
        EXPECT_EQ(image.depth, c.format == BMF_1BPP ? 0u : 2u);  // e1Bit (indexed) or e8Bit
        for (LONG x = 0; x < width; ++x) {
            const uint8_t* p = image.palette.data() + 3 * (image.Bit(x, 0) ? 1 : 0);
            const uint32_t rgb =
                c.format == BMF_1BPP ? uint32_t{p[0]} << 16 | p[1] << 8 | p[2] : image.Rgb(x, 0);
            EXPECT_EQ(rgb, c.expected[x]) << "pixel " << x;
        }
    }

    // A 1-bit source read from a column that is not on a byte boundary.
    page.Clear();
    Bitmap mono(21, 2, BMF_1BPP);
    mono.Fill([](LONG x, LONG) { return (x * 7 + 3) % 5 < 2; });
    RECTL dest{100, 50, 113, 51};
    POINTL origin{5, 1};
    ASSERT_TRUE(DrvBitBlt(page.Surface(), mono.so(), nullptr, nullptr, nullptr, &dest, &origin,
                          nullptr, nullptr, nullptr, 0xCCCC));
    const DecodedImage image = page.Image();
    ASSERT_EQ(image.width, 13u);
    for (unsigned x = 0; x < 13; ++x) EXPECT_EQ(image.Bit(x, 0), (((x + 5) * 7 + 3) % 5 < 2)) << x;
}

TEST_F(UnidrvBlitTest, ClipsCutTheImage) {
    Bitmap source(50, 50);
    FillNoise(source, 2);
    // A rectangle: SetClipRectangle, and only the part inside it is sent.
    CLIPOBJ* rect = xlplatform::CreateRectClip(RECTL{103, 204, 106, 206});
    ASSERT_TRUE(CopyBits(source, RECTL{100, 200, 150, 250}, rect));
    EngDeleteClip(rect);
    const auto clipped = page.Operators();
    ASSERT_NE(clipped.Find(xlop::SetClipRectangle), nullptr);
    EXPECT_EQ(AttributeValue(*clipped.Find(xlop::SetClipRectangle), xlattr::BoundingBox, 2), 106);
    DecodedImage image = page.Image();
    EXPECT_EQ(image.cursorX, 103);
    EXPECT_EQ(image.cursorY, 204);
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    EXPECT_EQ(image.Rgb(2, 1), source.Rgb(5, 5));

    // A region: a clip path of its rectangles, then the image of its bounding box.
    page.Clear();
    const RECTL rects[] = {{0, 0, 10, 10}, {20, 20, 30, 40}};
    CLIPOBJ* region = xlplatform::CreateRegionClip(rects);
    ASSERT_TRUE(CopyBits(source, RECTL{0, 0, 50, 50}, region));
    EngDeleteClip(region);
    const auto ops = page.Operators();
    EXPECT_EQ(ops.Count(xlop::RectanglePath), 2u);
    ASSERT_NE(ops.Find(xlop::SetClipReplace), nullptr);
    EXPECT_GT(ops.Find(xlop::SetClipReplace)->tagOffset,
              ops.Find(xlop::RectanglePath, 1)->tagOffset);
    image = page.Image();
    EXPECT_EQ(image.width, 30u);
    EXPECT_EQ(image.height, 40u);
}

TEST_F(UnidrvBlitTest, StretchesScaleMirrorAndSampleAtThePage) {
    Bitmap source(4, 2);
    FillNoise(source, 4);
    ASSERT_TRUE(StretchBlt(source, RECTL{112, 100, 100, 104}));  // right to left: mirrored
    DecodedImage image = page.Image();
    EXPECT_EQ(image.cursorX, 100);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.destWidth, 12u);
    EXPECT_EQ(image.destHeight, 4u);
    for (unsigned x = 0; x < 4; ++x) EXPECT_EQ(image.Rgb(x, 1), source.Rgb(3 - x, 1));

    // Sizes that PCL XL cannot carry are sampled at the device pixels that
    // show: the page lies inside source pixel (2, 1), a billion pixels wide.
    page.Clear();
    ASSERT_TRUE(StretchBlt(source, RECTL{-2000000000, -2000000000, 2000000000, 2000000000}));
    image = page.Image();
    EXPECT_EQ(image.cursorX, 0);
    EXPECT_EQ(image.width, 800u);
    EXPECT_EQ(image.height, 600u);
    EXPECT_EQ(image.Rgb(0, 0), source.Rgb(2, 1));
    EXPECT_EQ(image.Rgb(799, 599), source.Rgb(2, 1));
}

TEST_F(UnidrvBlitTest, PatternRopsPaintWithTheBrush) {
    // Pattern only: a filled rectangle with a null pen, no image.
    BRUSHOBJ orange = xlplatform::SolidBrush(0xFF8000);
    RECTL dest{30, 40, 70, 90};
    ASSERT_TRUE(DrvBitBlt(page.Surface(), nullptr, nullptr, nullptr, nullptr, &dest, nullptr,
                          nullptr, &orange, nullptr, 0xF0F0));
    const auto ops = page.Operators();
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::SetROP), xlattr::ROP3), 0xF0);
    EXPECT_EQ(xltest::AttributeBytes(*ops.Find(xlop::SetBrushSource), xlattr::RGBColor),
              (std::vector<uint8_t>{0xFF, 0x80, 0x00}));
    EXPECT_NE(ops.Find(xlop::SetPenSource)->Find(xlattr::NullPen), nullptr);
    EXPECT_EQ(AttributeValue(*ops.Find(xlop::RectanglePath), xlattr::BoundingBox, 3), 90);
    EXPECT_NE(ops.Find(xlop::PaintPath), nullptr);
    EXPECT_EQ(ops.Find(xlop::BeginImage), nullptr);

    // Source and pattern (MERGECOPY): the image, drawn with the brush set.
    page.Clear();
    Bitmap source(2, 2);
    BRUSHOBJ green = xlplatform::SolidBrush(0x00FF00);
    POINTL origin{0, 0};
    ASSERT_TRUE(DrvBitBlt(page.Surface(), source.so(), nullptr, nullptr, nullptr, &dest, &origin,
                          nullptr, &green, nullptr, 0xC0C0));
    const DecodedImage image = page.Image();
    EXPECT_EQ(image.rop3, 0xC0u);
    EXPECT_EQ(image.brush, (std::vector<uint8_t>{0x00, 0xFF, 0x00}));
}

// Calls that draw nothing: TRUE, and not a byte spooled.
TEST_F(UnidrvBlitTest, NothingToDrawWritesNothing) {
    Bitmap source(4, 4);
    CLIPOBJ* emptyClip = xlplatform::CreateRectClip(RECTL{0, 0, 800, 600});
    emptyClip->rclBounds = RECTL{10, 10, 10, 10};
    struct Case {
        const char* name;
        RECTL dest;
        CLIPOBJ* clip;
        ROP4 rop;
        POINTL from;
    };
    const Case cases[] = {
        {"empty rectangle", {10, 10, 10, 20}, nullptr, 0xCCCC, {0, 0}},
        {"off the page", {900, 700, 904, 704}, nullptr, 0xCCCC, {0, 0}},
        {"empty clip", {0, 0, 4, 4}, emptyClip, 0xCCCC, {0, 0}},
        {"destination rop", {0, 0, 4, 4}, nullptr, 0xAAAA, {0, 0}},
        {"source outside its bitmap", {0, 0, 4, 4}, nullptr, 0xCCCC, {10, 10}},
    };
    for (Case c : cases) {
        page.Clear();
        EXPECT_TRUE(DrvBitBlt(page.Surface(), source.so(), nullptr, c.clip, nullptr, &c.dest,
                              &c.from, nullptr, nullptr, nullptr, c.rop))
            << c.name;
        EXPECT_TRUE(page.Spooled().empty()) << c.name;
    }
    EngDeleteClip(emptyClip);
}

// Calls that cannot be drawn: FALSE with a last error, and not a byte spooled.
TEST_F(UnidrvBlitTest, MalformedOrUnsupportedCallsFailCleanly) {
    Bitmap source(4, 4);
    Bitmap mask(4, 4, BMF_1BPP);
    xltest::CompressedSource jpeg(BMF_JPEG, xltest::Bytes{0xFF, 0xD8, 0xFF, 0xD9}, SIZEL{4, 4});
    SURFOBJ noDevice = *page.Surface();
    noDevice.dhpdev = nullptr;
    BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
    RECTL dest{0, 0, 4, 4};
    POINTL origin{0, 0};
    const auto copy = [&](SURFOBJ* target, SURFOBJ* from, POINTL* at) {
        return DrvCopyBits(target, from, nullptr, nullptr, &dest, at);
    };
    const auto blt = [&](SURFOBJ* from, SURFOBJ* mask, BRUSHOBJ* brush, ROP4 rop) {
        return DrvBitBlt(page.Surface(), from, mask, nullptr, nullptr, &dest, &origin, &origin,
                         brush, nullptr, rop);
    };
    SURFOBJ* target = page.Surface();
    ExpectFailsCleanly(page, "no device", ERROR_INVALID_PARAMETER,
                       [&] { return copy(&noDevice, source.so(), &origin); });
    ExpectFailsCleanly(page, "no source point", ERROR_INVALID_PARAMETER,
                       [&] { return copy(target, source.so(), nullptr); });
    ExpectFailsCleanly(page, "corrupt JPEG source", ERROR_INVALID_DATA,
                       [&] { return copy(target, jpeg.so(), &origin); });
    ExpectFailsCleanly(page, "device source", ERROR_NOT_SUPPORTED,
                       [&] { return copy(target, target, &origin); });
    ExpectFailsCleanly(page, "pattern brush", ERROR_NOT_SUPPORTED,
                       [&] { return blt(nullptr, nullptr, &pattern, 0xF0F0); });
    ExpectFailsCleanly(page, "mask with two rops", ERROR_NOT_SUPPORTED,
                       [&] { return blt(source.so(), mask.so(), nullptr, 0xAACC); });
    ExpectFailsCleanly(page, "stretch without source rectangle", ERROR_INVALID_PARAMETER, [&] {
        return DrvStretchBlt(target, source.so(), nullptr, nullptr, nullptr, nullptr, nullptr,
                             &dest, nullptr, nullptr, COLORONCOLOR);
    });
    page.FailSpoolWrites();
    ExpectFailsCleanly(page, "refused spool write", ERROR_WRITE_FAULT,
                       [&] { return CopyBits(source, dest); });
}

}  // namespace
