// The image sender's output: the operators around the image for each kind of
// raster operation and clip, the JPEG it embeds, and the calls it leaves to
// Unidrv; the compressor's bounded buffer; the photo-content test and the row
// stride.
#include <gtest/gtest.h>

#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "image/dib_stride.h"
#include "image/image_sender.h"
#include "image/jpeg_compress.h"
#include "image/photo_content.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "support/fake_unidrv.h"
#include "support/spooled_operators.h"
#include "support/test_images.h"

namespace {

using xltest::AttributeValue;
using xltest::Bitmap;
using xltest::SpooledOperators;
namespace op = xlr::xlop;
namespace attr = xlr::xlattr;

class ImageSenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        xltest::FillPhotoLike(source);
        clip = EngCreateClip();
        clip->iDComplexity = DC_TRIVIAL;
    }
    void TearDown() override { EngDeleteClip(clip); }

    uint32_t Send(ROP4 rop4, CLIPOBJ* withClip = nullptr, SURFOBJ* from = nullptr) {
        device.helper.spooled.clear();
        return xlr::SendImage(&device.devobj, from != nullptr ? from : source.so(),
                              withClip != nullptr ? withClip : clip, nullptr, nullptr, nullptr,
                              &sourceRect, &destRect, rop4);
    }
    SpooledOperators Spooled() const { return SpooledOperators(device.helper.spooled); }

    xltest::FakeDevice device;
    Bitmap source{160, 120};
    CLIPOBJ* clip = nullptr;
    RECTL sourceRect{10, 20, 130, 110};  // 120 × 90
    RECTL destRect{300, 400, 540, 580};  // 240 × 180: the image is scaled by two
};

TEST_F(ImageSenderTest, SourceCopyWithTrivialClip) {
    ASSERT_EQ(Send(0xCC), xlr::kSendHandled);
    const auto ops = Spooled();
    const std::vector<uint8_t> expected = {
        op::PushGS,          op::SetClipToPage, op::SetCursor,     op::SetPaintTxMode,
        op::SetSourceTxMode, op::SetROP,        op::SetColorSpace, op::BeginImage,
        op::ReadImage,       op::EndImage,      op::PopGS};
    ASSERT_EQ(ops.Tags(), expected);
    EXPECT_EQ(AttributeValue(ops[2], attr::Point, 0), 300);
    EXPECT_EQ(AttributeValue(ops[2], attr::Point, 1), 400);
    EXPECT_EQ(AttributeValue(ops[6], attr::ColorSpace), 2);  // eRGB
    const auto& begin = ops[7];
    EXPECT_EQ(AttributeValue(begin, attr::ColorMapping), 0);  // eDirectPixel
    EXPECT_EQ(AttributeValue(begin, attr::ColorDepth), 2);    // e8Bit
    EXPECT_EQ(AttributeValue(begin, attr::SourceWidth), 120);
    EXPECT_EQ(AttributeValue(begin, attr::SourceHeight), 90);
    EXPECT_EQ(AttributeValue(begin, attr::DestinationSize, 0), 240);
    EXPECT_EQ(AttributeValue(begin, attr::DestinationSize, 1), 180);
    const auto& read = ops[8];
    EXPECT_EQ(AttributeValue(read, attr::StartLine), 0);
    EXPECT_EQ(AttributeValue(read, attr::BlockHeight), 90);  // one block
    EXPECT_EQ(AttributeValue(read, attr::CompressMode), 2);  // eJPEGCompression
    ASSERT_TRUE(read.data.has_value());
}

// The embedded JPEG is the source rectangle within quality-95 error, from a
// bottom-up bitmap as from a top-down one (both hold blue, green, red).
TEST_F(ImageSenderTest, TheJpegIsTheSourceRectangle) {
    Bitmap topDown(160, 120, BMF_24BPP, BMF_TOPDOWN);
    xltest::FillPhotoLike(topDown, 3);
    for (const Bitmap* bitmap : {&source, &topDown}) {
        ASSERT_EQ(Send(0xCC, nullptr, bitmap->so()), xlr::kSendHandled);
        const auto ops = Spooled();
        ASSERT_EQ(ops.size(), 11u);
        const auto decoded = xltest::DecodeJpegFile(ops[8].data->bytes);
        ASSERT_EQ(decoded.width, 120);
        ASSERT_EQ(decoded.height, 90);
        EXPECT_GE(xltest::Psnr(decoded, xltest::RgbOf(*bitmap, sourceRect)), 38.0);
    }
}

TEST_F(ImageSenderTest, RasterOperations) {
    struct Case {
        ROP4 rop4;
        uint32_t result;
        std::vector<uint8_t> tags;  // after PushGS, SetClipToPage, SetCursor
        int64_t txMode;
        int64_t gray;  // GrayLevel of SetBrushSource, -1 when none
    };
    const std::vector<uint8_t> image = {
        op::SetPaintTxMode, op::SetSourceTxMode, op::SetROP,   op::SetColorSpace,
        op::BeginImage,     op::ReadImage,       op::EndImage, op::PopGS};
    const std::vector<uint8_t> fill = {op::SetPaintTxMode, op::SetSourceTxMode, op::SetROP,
                                       op::SetBrushSource, op::SetPenSource,    op::NewPath,
                                       op::RectanglePath,  op::PaintPath,       op::PopGS};
    const std::vector<uint8_t> stateOnly = {op::SetPaintTxMode, op::SetSourceTxMode, op::SetROP,
                                            op::PopGS};
    const Case cases[] = {
        {0xAACC, xlr::kSendHandled, image, 1, -1},  // background keeps the destination: transparent
        {0xCCCC, xlr::kSendHandled, image, 0, -1},
        {0x0000, xlr::kSendHandled, fill, 0, 0},           // BLACKNESS
        {0x00FF, xlr::kSendHandled, fill, 0, 1},           // WHITENESS
        {0x0055, xlr::kSendHandled, stateOnly, 0, -1},     // DSTINVERT: destination only
        {0x00AA, xlr::kSendHandled, stateOnly, 0, -1},     // nothing painted
        {0x00F0, xlr::kSendNotHandled, stateOnly, 0, -1},  // PATCOPY
        {0x005A, xlr::kSendNotHandled, stateOnly, 0, -1},  // PATINVERT
        {0x0088, xlr::kSendHandled, image, 0, -1},         // SRCAND: source and destination
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "ROP4 0x" << c.rop4);
        EXPECT_EQ(Send(c.rop4), c.result);
        const auto ops = Spooled();
        const auto tags = ops.Tags();
        ASSERT_GE(tags.size(), 3u);
        EXPECT_EQ(std::vector<uint8_t>(tags.begin() + 3, tags.end()), c.tags);
        EXPECT_EQ(AttributeValue(ops[3], attr::TxMode), c.txMode);
        EXPECT_EQ(AttributeValue(ops[4], attr::TxMode), c.txMode);
        EXPECT_EQ(AttributeValue(ops[5], attr::ROP3), c.rop4 & 0xFF);
        if (c.gray >= 0) {
            EXPECT_EQ(AttributeValue(ops[6], attr::GrayLevel), c.gray);
            EXPECT_NE(ops[7].Find(attr::NullPen), nullptr);
            EXPECT_EQ(AttributeValue(ops[9], attr::BoundingBox, 2), destRect.right);
        }
    }
}

TEST_F(ImageSenderTest, RefusedBeforeWritingAnything) {
    Bitmap eightBit(160, 120, BMF_8BPP);
    ULONG palette[256] = {};
    XLATEOBJ* table = xlplatform::CreatePaletteXlate(palette);
    RECTL inverted{540, 400, 300, 580};
    struct Case {
        const char* what;
        SURFOBJ* source;
        XLATEOBJ* xlate;
        const RECTL* dest;
        CLIPOBJ* clip;
        uint32_t result;
    };
    const Case cases[] = {
        {"8-bit source", eightBit.so(), nullptr, &destRect, clip, xlr::kSendNotHandled},
        {"translation with entries", source.so(), table, &destRect, clip, xlr::kSendNotHandled},
        {"mirrored destination", source.so(), nullptr, &inverted, clip, xlr::kSendNotHandled},
        {"no clip object", source.so(), nullptr, &destRect, nullptr, xlr::kSendUnexpected},
        {"no destination", source.so(), nullptr, nullptr, clip, xlr::kSendUnexpected},
        {"no source", nullptr, nullptr, &destRect, clip, xlr::kSendUnexpected},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xlr::SendImage(&device.devobj, c.source, c.clip, c.xlate, nullptr, nullptr,
                                 &sourceRect, c.dest, 0xCC),
                  c.result)
            << c.what;
        EXPECT_TRUE(device.helper.spooled.empty()) << c.what;
    }
    EXPECT_EQ(xlr::SendImage(nullptr, source.so(), clip, nullptr, nullptr, nullptr, &sourceRect,
                             &destRect, 0xCC),
              xlr::kSendUnexpected);
    xlplatform::DeleteXlate(table);
}

// A source past the bitmap's edge, or a clip whose enumeration never yields a
// rectangle: no image, and the graphics state pushed is popped again.
TEST_F(ImageSenderTest, FailuresAfterTheStateIsPushedRestoreIt) {
    const auto restored = [&](const char* what) {
        const auto tags = Spooled().Tags();
        ASSERT_FALSE(tags.empty()) << what;
        EXPECT_EQ(tags.front(), op::PushGS) << what;
        EXPECT_EQ(tags.back(), op::PopGS) << what;
        EXPECT_EQ(Spooled().Count(op::BeginImage), 0u) << what;
    };
    CLIPOBJ* region = xlplatform::CreateRegionClip(
        std::vector<RECTL>{{300, 400, 301, 580}, {302, 400, 303, 580}});
    xlplatform::SetClipEmptyBatches(region, 100000);
    EXPECT_NE(Send(0xCC, region), xlr::kSendHandled);
    restored("a clip enumeration of only empty batches");
    EngDeleteClip(region);
    sourceRect = RECTL{100, 20, 200, 110};
    EXPECT_EQ(Send(0xCC), xlr::kSendNotHandled);
    restored("a source past the bitmap's right edge");
}

TEST_F(ImageSenderTest, RectangleClip) {
    CLIPOBJ* rect = xlplatform::CreateRectClip(RECTL{310, 410, 500, 560});
    ASSERT_EQ(Send(0xCC, rect), xlr::kSendHandled);
    const auto ops = Spooled();
    const std::vector<uint8_t> head = {op::PushGS,        op::SetClipMode,    op::NewPath,
                                       op::RectanglePath, op::SetClipReplace, op::SetCursor};
    const auto tags = ops.Tags();
    ASSERT_GE(tags.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(tags.begin(), tags.begin() + head.size()), head);
    EXPECT_EQ(AttributeValue(ops[1], attr::ClipMode), 1);  // even-odd
    EXPECT_EQ(AttributeValue(ops[3], attr::BoundingBox, 0), 310);
    EXPECT_EQ(AttributeValue(ops[3], attr::BoundingBox, 3), 560);
    EXPECT_EQ(AttributeValue(ops[4], attr::ClipRegion), 0);  // interior
    EngDeleteClip(rect);
}

TEST_F(ImageSenderTest, ComplexClipsAsRectanglesOrAsAPath) {
    // The engine may open an enumeration with empty batches: every rectangle still comes.
    const struct {
        int rectangles;
        ULONG emptyBatches;
    } cases[] = {{2, 0}, {2, 3}, {256, 0}, {257, 0}};
    for (const auto [rectangles, emptyBatches] : cases) {
        SCOPED_TRACE(std::to_string(rectangles) + " rectangles after " +
                     std::to_string(emptyBatches) + " empty batches");
        // A comb of one-pixel columns: that many clip rectangles.
        std::vector<RECTL> rects;
        for (int i = 0; i < rectangles; ++i)
            rects.push_back(RECTL{300 + 2 * i, 400, 301 + 2 * i, 580});
        CLIPOBJ* region = xlplatform::CreateRegionClip(rects);
        ASSERT_EQ(region->iDComplexity, DC_COMPLEX);
        xlplatform::SetClipEmptyBatches(region, emptyBatches);
        ASSERT_EQ(Send(0xCC, region), xlr::kSendHandled);
        const auto ops = Spooled();
        const auto tags = ops.Tags();
        EXPECT_EQ(tags[1], op::SetClipMode);
        EXPECT_EQ(tags[2], op::NewPath);
        EXPECT_EQ(ops.Count(op::SetClipReplace), 1u);
        if (rectangles <= 256) {
            EXPECT_EQ(tags[3], op::SetCursor);
            EXPECT_EQ(ops.Count(op::RectanglePath), size_t(rectangles));
            EXPECT_EQ(ops.Count(op::LinePath), 0u);
        } else {
            // One figure per rectangle: a cursor at its corner, three sides, closed.
            EXPECT_EQ(ops.Count(op::RectanglePath), 0u);
            EXPECT_EQ(ops.Count(op::LinePath), size_t(rectangles));
            EXPECT_EQ(ops.Count(op::CloseSubPath), size_t(rectangles));
            ASSERT_EQ(tags[4], op::LinePath);
            EXPECT_EQ(AttributeValue(ops[3], attr::Point, 0), 300);
            EXPECT_EQ(AttributeValue(ops[4], attr::NumberOfPoints), 3);
            EXPECT_EQ(AttributeValue(ops[4], attr::PointType), 3);  // eSInt16
            ASSERT_TRUE(ops[4].data.has_value());
            // Points as little-endian 16-bit pairs: (301,400) (301,580) (300,580).
            const std::vector<uint8_t> points = {0x2D, 0x01, 0x90, 0x01, 0x2D, 0x01,
                                                 0x44, 0x02, 0x2C, 0x01, 0x44, 0x02};
            EXPECT_EQ(std::vector<uint8_t>(ops[4].data->bytes.begin(), ops[4].data->bytes.end()),
                      points);
        }
        EngDeleteClip(region);
    }
}

TEST_F(ImageSenderTest, ClipPathsKeepCurvesAndNegativeCoordinates) {
    PATHOBJ* path = EngCreatePath();
    PATHOBJ_bMoveTo(path, POINTFIX{-24, 16 * 400});  // -1.5 px rounds down to -2
    POINTFIX curve[3] = {xlplatform::PointFix(350, 380), xlplatform::PointFix(450, 380),
                         xlplatform::PointFix(500, 500)};
    PATHOBJ_bPolyBezierTo(path, curve, 3);
    POINTFIX back = xlplatform::PointFix(320, 560);
    PATHOBJ_bPolyLineTo(path, &back, 1);
    PATHOBJ_bCloseFigure(path);
    CLIPOBJ* shaped = xlplatform::CreatePathClip(path, FP_ALTERNATEMODE);
    ASSERT_NE(shaped, nullptr);
    ASSERT_EQ(shaped->iMode, TC_PATHOBJ);
    ASSERT_EQ(Send(0xCC, shaped), xlr::kSendHandled);
    const auto ops = Spooled();
    const std::vector<uint8_t> head = {op::PushGS,       op::SetClipMode,   op::NewPath,
                                       op::SetCursor,    op::BezierPath,    op::LinePath,
                                       op::CloseSubPath, op::SetClipReplace};
    const auto tags = ops.Tags();
    ASSERT_GE(tags.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(tags.begin(), tags.begin() + head.size()), head);
    EXPECT_EQ(AttributeValue(ops[3], attr::Point, 0), -2);
    EXPECT_EQ(AttributeValue(ops[4], attr::NumberOfPoints), 3);
    EXPECT_EQ(AttributeValue(ops[5], attr::NumberOfPoints), 1);
    EngDeleteClip(shaped);
    EngDeletePath(path);
}

TEST(CompressRectToJpeg, FailsCleanlyWhenTheBufferIsTooSmall) {
    Bitmap bitmap(64, 48);
    xltest::FillPhotoLike(bitmap);
    const RECTL all{0, 0, 64, 48};
    std::vector<uint8_t> roomy(64 * 48 * 3);
    const auto size = xlr::CompressRectToJpeg(roomy, all, *bitmap.so());
    ASSERT_TRUE(size.has_value());
    // One byte short, with a guard after the span that must stay untouched.
    std::vector<uint8_t> tight(*size + 16, 0xA5);
    EXPECT_FALSE(
        xlr::CompressRectToJpeg(std::span<uint8_t>(tight.data(), *size - 1), all, *bitmap.so()));
    for (size_t i = *size - 1; i < tight.size(); ++i) ASSERT_EQ(tight[i], 0xA5) << i;
    EXPECT_EQ(xlr::CompressRectToJpeg(std::span<uint8_t>(tight.data(), *size), all, *bitmap.so()),
              size);
    // Rectangles outside the bitmap, empty or inverted are not compressed.
    for (const RECTL r :
         {RECTL{-1, 0, 10, 10}, RECTL{0, 0, 65, 10}, RECTL{5, 5, 5, 9}, RECTL{9, 0, 2, 10}})
        EXPECT_FALSE(xlr::CompressRectToJpeg(roomy, r, *bitmap.so()));
}

TEST(IsPhotoContent, SizeBoundsAndHardEdges) {
    Bitmap photo(200, 200);
    xltest::FillPhotoLike(photo);
    struct Case {
        RECTL rect;
        bool photo;
    };
    const Case cases[] = {
        {{0, 0, 40, 200}, false},                              // 40 wide
        {{0, 0, 60, 40}, false},                               // 40 high
        {{0, 0, 50, 50}, false},                               // sum 100
        {{0, 0, 41, 60}, true},   {{10, 10, 61, 61}, true},    // sum 102
        {{0, 0, 200, 200}, true}, {{150, 0, 201, 60}, false},  // past the bitmap's edge
    };
    for (const Case& c : cases)
        EXPECT_EQ(xlr::IsPhotoContent(photo.so(), c.rect), c.photo)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;

    // Stripes one pixel wide: every neighbour differs by 255.
    Bitmap stripes(200, 200);
    stripes.Fill([](LONG x, LONG) { return x % 2 != 0 ? 0xFFFFFFu : 0u; });
    EXPECT_FALSE(xlr::IsPhotoContent(stripes.so(), RECTL{0, 0, 200, 200}));

    // A few hard edges are tolerated. On 100 × 100, rows 0, 6, ..., 96 are
    // sampled (17 rows); with e black-white steps at the start of every row the
    // count is 3e per row: 17 × 12 = 204 stays below 230, 17 × 15 = 255 does not.
    for (const int edges : {4, 5}) {
        Bitmap grey(100, 100);
        grey.Fill([&](LONG x, LONG) {
            return x > edges ? 0x808080u : x % 2 == 0 ? 0u : 0xFFFFFFu;
        });
        EXPECT_EQ(xlr::IsPhotoContent(grey.so(), RECTL{0, 0, 100, 100}), edges == 4) << edges;
    }
    Bitmap eightBit(100, 100, BMF_8BPP);
    EXPECT_FALSE(xlr::IsPhotoContent(eightBit.so(), RECTL{0, 0, 100, 100}));
    EXPECT_FALSE(xlr::IsPhotoContent(nullptr, RECTL{0, 0, 100, 100}));
}

TEST(DibStride, RowsPadToWholeWords) {
    struct Case {
        ULONG format;
        LONG width;
        ULONG stride;
    };
    const Case cases[] = {{BMF_1BPP, 33, 8},     {BMF_4BPP, 9, 8},   {BMF_16BPP, 3, 8},
                          {BMF_24BPP, 101, 304}, {BMF_32BPP, 3, 12}, {BMF_JPEG, 10, 0},
                          {BMF_24BPP, -1, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(xlr::DibStride(c.format, c.width), c.stride) << c.format << " " << c.width;
}

}  // namespace
