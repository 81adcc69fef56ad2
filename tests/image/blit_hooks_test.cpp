// The blit hooks: which calls the image sender takes (the JPEGEnable choice,
// the printer's port, the settings switch, the photo test), what goes to
// Unidrv or the engine instead, mirrored rectangles on older systems, the
// analysis pass, quarter turns and compressed sources.
#include <gtest/gtest.h>

#include <functional>

#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "image/blit_hooks.h"
#include "image/hook_rig.h"
#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "support/spooled_operators.h"
#include "support/test_images.h"

namespace {

using imagetest::HookRig;
using imagetest::RigOptions;
using imagetest::Unidrv;
using xltest::Bitmap;
namespace op = xlr::xlop;

bool SentAnImage(const HookRig& rig) {
    const xltest::SpooledOperators ops(rig.spooled());
    return ops.Count(op::BeginImage) == 1 && ops.Count(op::ReadImage) == 1;
}

class BlitHooksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        xltest::FillPhotoLike(photo);
        stripes.Fill([](LONG x, LONG) { return x % 2 != 0 ? 0xFFFFFFu : 0u; });  // hard edges
        clip = EngCreateClip();
    }
    void TearDown() override { EngDeleteClip(clip); }

    BOOL BitBlt(HookRig& rig, SURFOBJ* source, RECTL dest, ROP4 rop4 = 0xCCCC) {
        POINTL origin{0, 0};
        return xlr::DrvBitBlt(rig.page(), source, nullptr, clip, nullptr, &dest, &origin, nullptr,
                              nullptr, nullptr, rop4);
    }
    BOOL StretchBlt(HookRig& rig, SURFOBJ* source, RECTL src = {0, 0, 100, 100}) {
        RECTL d = dest;
        return xlr::DrvStretchBlt(rig.page(), source, nullptr, clip, nullptr, nullptr, nullptr, &d,
                                  &src, nullptr, COLORONCOLOR);
    }
    BOOL StretchBltROP(HookRig& rig, SURFOBJ* source, RECTL src = {0, 0, 100, 100}) {
        RECTL d = dest;
        return xlr::DrvStretchBltROP(rig.page(), source, nullptr, clip, nullptr, nullptr, nullptr,
                                     &d, &src, nullptr, COLORONCOLOR, nullptr, 0xCCCC);
    }

    Bitmap photo{100, 100};
    Bitmap stripes{100, 100};
    CLIPOBJ* clip = nullptr;
    const RECTL dest{500, 600, 600, 700};
};

TEST_F(BlitHooksTest, JpegChoiceSettingsAndPort) {
    struct Case {
        const char* jpegEnable;
        const char16_t* port;
        uint32_t noImageSender;
        bool sent;
    };
    const Case cases[] = {
        {"Maximum", u"IP_10.1.2.3", 0, true},  // always
        {"Maximum", u"USB001", 1, false},      // the settings turn the sender off
        {"Best", u"USB001", 0, false},         // the printer rasterises
        {"", u"USB001", 0, false},             // no choice
        {"Auto", u"USB001", 0, true},          // direct connections
        {"Auto", u"LPT2:", 0, true},
        {"Auto", u"dot4_001", 0, true},      // compared in upper case
        {"Auto", u"IP_10.1.2.3", 0, false},  // network port
        {"Auto", u"C:\\out\\job.prn", 0, false},
        {"Auto", u"LPT4:", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.jpegEnable << " " << xlplatform::Utf16ToUtf8(c.port)
                                          << " " << c.noImageSender);
        HookRig rig(RigOptions{c.jpegEnable, c.port, c.noImageSender});
        ASSERT_NE(rig.state(), nullptr);
        EXPECT_TRUE(BitBlt(rig, photo.so(), dest));
        EXPECT_EQ(SentAnImage(rig), c.sent);
        EXPECT_EQ(Unidrv().bitBlt, c.sent ? 0 : 1);
    }
}

TEST_F(BlitHooksTest, WhatTheSenderDoesNotTakeGoesToUnidrv) {
    HookRig rig;
    Bitmap eightBit(100, 100, BMF_8BPP);
    struct Case {
        const char* what;
        SURFOBJ* source;
        ROP4 rop4;
    };
    const Case cases[] = {
        {"hard edges", stripes.so(), 0xCCCC},
        {"8-bit source", eightBit.so(), 0xCCCC},
        {"pattern ROP", photo.so(), 0xF0F0},
        {"no source", nullptr, 0xF0F0},
    };
    for (const Case& c : cases) {
        Unidrv() = {};
        rig.ClearSpooled();
        EXPECT_TRUE(BitBlt(rig, c.source, dest, c.rop4)) << c.what;
        EXPECT_EQ(Unidrv().bitBlt, 1) << c.what;
        EXPECT_FALSE(SentAnImage(rig)) << c.what;
    }
}

TEST_F(BlitHooksTest, EachHookHandsTheSenderItsRectangles) {
    HookRig rig;
    RECTL copied{500, 600, 580, 670};
    POINTL at{20, 30};
    struct Case {
        const char* what;
        std::function<BOOL()> call;
        int64_t width, height, destWidth;  // of the image sent
    };
    const Case cases[] = {
        {"DrvStretchBlt",
         [&] {
             return StretchBlt(rig, photo.so(), {10, 10, 70, 70});
         },
         60, 60, 100},
        {"DrvStretchBltROP",
         [&] {
             return StretchBltROP(rig, photo.so(), {10, 10, 70, 70});
         },
         60, 60, 100},
        // DrvCopyBits reads from (20, 30) as much as its 80 × 70 destination covers.
        {"DrvCopyBits",
         [&] { return xlr::DrvCopyBits(rig.page(), photo.so(), clip, nullptr, &copied, &at); }, 80,
         70, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.ClearSpooled();
        EXPECT_TRUE(c.call());
        const xltest::SpooledOperators ops(rig.spooled());
        const auto* begin = ops.Find(op::BeginImage);
        ASSERT_NE(begin, nullptr);
        EXPECT_EQ(xltest::AttributeValue(*begin, xlr::xlattr::SourceWidth), c.width);
        EXPECT_EQ(xltest::AttributeValue(*begin, xlr::xlattr::SourceHeight), c.height);
        EXPECT_EQ(xltest::AttributeValue(*begin, xlr::xlattr::DestinationSize, 0), c.destWidth);
    }
    EXPECT_EQ(Unidrv().Total(), 0);
}

TEST_F(BlitHooksTest, StretchBltRopFallsBackOnTheEngineAndStretchBltOnUnidrv) {
    HookRig rig;
    // Hard edges: not for the sender. The engine stretches and hands the result
    // to DrvCopyBits, which passes it to Unidrv.
    EXPECT_TRUE(StretchBltROP(rig, stripes.so()));
    EXPECT_EQ(Unidrv().stretchBltROP, 0);
    EXPECT_EQ(Unidrv().copyBits, 1);
    EXPECT_EQ(Unidrv().lastDestination.right, 600);
    Unidrv() = {};
    EXPECT_TRUE(StretchBlt(rig, stripes.so()));
    EXPECT_EQ(Unidrv().stretchBlt, 1);
    EXPECT_EQ(Unidrv().copyBits, 0);

    // Without readable settings the hooks go to Unidrv at once.
    rig.device().privateDevMode->signature = 0;
    Unidrv() = {};
    EXPECT_TRUE(StretchBltROP(rig, photo.so()));
    EXPECT_EQ(Unidrv().stretchBltROP, 1);
    EXPECT_TRUE(BitBlt(rig, photo.so(), dest));
    EXPECT_EQ(Unidrv().bitBlt, 1);
    EXPECT_FALSE(SentAnImage(rig));
}

TEST_F(BlitHooksTest, MirroredRectangleOnAnOlderSystemGoesThroughTheEngineOnce) {
    HookRig rig;
    const RECTL mirrored{600, 600, 500, 700};
    xlplatform::TheWorld().osVersion.major = 5;
    EXPECT_TRUE(BitBlt(rig, photo.so(), mirrored));
    // EngBitBlt drew it and handed the result to DrvCopyBits, which left it to
    // Unidrv and cleared the flag.
    EXPECT_EQ(Unidrv().bitBlt, 0);
    EXPECT_EQ(Unidrv().copyBits, 1);
    EXPECT_EQ(Unidrv().lastDestination.left, 500);
    EXPECT_EQ(rig.state()->skipSenderOnce, 0);
    EXPECT_TRUE(rig.spooled().empty());
    // The flag was spent: the next photo goes to the sender again.
    EXPECT_TRUE(BitBlt(rig, photo.so(), dest));
    EXPECT_TRUE(SentAnImage(rig));

    // Newer systems hand the mirrored call to Unidrv itself.
    xlplatform::TheWorld().osVersion.major = 6;
    Unidrv() = {};
    EXPECT_TRUE(BitBlt(rig, photo.so(), mirrored));
    EXPECT_EQ(Unidrv().bitBlt, 1);
    EXPECT_EQ(Unidrv().copyBits, 0);
}

TEST_F(BlitHooksTest, AnalysisPassDrawsNothing) {
    HookRig rig;
    rig.state()->suppressOutput = 1;
    RECTL d = dest;
    RECTL s{0, 0, 100, 100};
    POINTL origin{0, 0};
    POINTFIX turn[3] = {xlplatform::PointFix(500, 700), xlplatform::PointFix(500, 600),
                        xlplatform::PointFix(600, 700)};
    EXPECT_TRUE(BitBlt(rig, photo.so(), dest));
    EXPECT_TRUE(StretchBlt(rig, photo.so()));
    EXPECT_TRUE(StretchBltROP(rig, photo.so()));
    EXPECT_TRUE(xlr::DrvCopyBits(rig.page(), photo.so(), clip, nullptr, &d, &origin));
    EXPECT_TRUE(xlr::DrvPlgBlt(rig.page(), photo.so(), nullptr, clip, nullptr, nullptr, nullptr,
                               turn, &s, nullptr, COLORONCOLOR));
    EXPECT_TRUE(xlr::DrvTransparentBlt(rig.page(), photo.so(), clip, nullptr, &d, &s, 0xFFFFFF, 0));
    EXPECT_EQ(Unidrv().Total(), 0);
    EXPECT_TRUE(rig.spooled().empty());
    // Alpha blending and gradients reach Unidrv in both passes.
    BLENDOBJ blend{};
    EXPECT_TRUE(xlr::DrvAlphaBlend(rig.page(), photo.so(), clip, nullptr, &d, &s, &blend));
    EXPECT_TRUE(xlr::DrvGradientFill(rig.page(), clip, nullptr, nullptr, 0, nullptr, 0, &d, nullptr,
                                     GRADIENT_FILL_RECT_H));
    EXPECT_EQ(Unidrv().alphaBlend, 1);
    EXPECT_EQ(Unidrv().gradientFill, 1);
    rig.state()->suppressOutput = 0;
    EXPECT_TRUE(xlr::DrvTransparentBlt(rig.page(), photo.so(), clip, nullptr, &d, &s, 0xFFFFFF, 0));
    EXPECT_EQ(Unidrv().transparentBlt, 1);
}

TEST_F(BlitHooksTest, WithoutTargetOrDevice) {
    HookRig rig;
    RECTL d = dest;
    POINTL origin{0, 0};
    SetLastError(0);
    EXPECT_FALSE(xlr::DrvBitBlt(nullptr, photo.so(), nullptr, clip, nullptr, &d, &origin, nullptr,
                                nullptr, nullptr, 0xCCCC));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    SURFOBJ orphan{};
    EXPECT_FALSE(xlr::DrvCopyBits(&orphan, photo.so(), clip, nullptr, &d, &origin));
    orphan.dhpdev = reinterpret_cast<DHPDEV>(~uintptr_t{0});
    EXPECT_FALSE(xlr::DrvCopyBits(&orphan, photo.so(), clip, nullptr, &d, &origin));
    EXPECT_FALSE(xlr::DrvAlphaBlend(&orphan, photo.so(), clip, nullptr, &d, &d, nullptr));
    EXPECT_EQ(Unidrv().Total(), 0);
}

TEST_F(BlitHooksTest, QuarterTurnsAreTurnedIntoUprightImages) {
    HookRig rig;
    Bitmap source(120, 80);
    xltest::FillPhotoLike(source, 5);
    RECTL whole{0, 0, 120, 80};
    struct Case {
        const char* what;
        POINTFIX corners[3];  // where the source's upper-left, upper-right and lower-left go
        RECTL expected;
        POINTL (*turned)(POINTL);  // where source pixel (x, y) lands in the turned image
    };
    using xlplatform::PointFix;
    const Case cases[] = {
        {"to the left: upper-right above, lower-left to the right",
         {PointFix(100, 300), PointFix(100, 180), PointFix(180, 300)},
         {100, 180, 180, 300},
         [](POINTL p) {
             return POINTL{p.y, 119 - p.x};
         }},
        {"to the right: upper-right below, lower-left to the left",
         {PointFix(300, 100), PointFix(300, 220), PointFix(220, 100)},
         {220, 100, 300, 220},
         [](POINTL p) {
             return POINTL{79 - p.y, p.x};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Unidrv() = {};
        POINTFIX corners[3] = {c.corners[0], c.corners[1], c.corners[2]};
        EXPECT_TRUE(xlr::DrvPlgBlt(rig.page(), source.so(), nullptr, clip, nullptr, nullptr,
                                   nullptr, corners, &whole, nullptr, COLORONCOLOR));
        // The turned image came back through DrvCopyBits and was left to Unidrv.
        EXPECT_EQ(Unidrv().copyBits, 1);
        EXPECT_EQ(rig.state()->skipSenderOnce, 0);
        EXPECT_TRUE(rig.spooled().empty());
        const RECTL& d = Unidrv().lastDestination;
        EXPECT_TRUE(d.left == c.expected.left && d.top == c.expected.top &&
                    d.right == c.expected.right && d.bottom == c.expected.bottom);
        ASSERT_EQ(Unidrv().lastSourceSize.cx, 80);
        ASSERT_EQ(Unidrv().lastSourceSize.cy, 120);
        for (const POINTL p : {POINTL{0, 0}, POINTL{119, 0}, POINTL{0, 79}, POINTL{57, 33}}) {
            const POINTL t = c.turned(p);
            EXPECT_EQ(Unidrv().lastSourcePixels[size_t(t.y) * 80 + t.x], source.Rgb(p.x, p.y))
                << p.x << "," << p.y;
        }
    }

    // A skewed parallelogram is left to the engine, which draws through DrvCopyBits.
    Unidrv() = {};
    rig.ClearSpooled();
    POINTFIX skew[3] = {xlplatform::PointFix(100, 300), xlplatform::PointFix(220, 310),
                        xlplatform::PointFix(110, 380)};
    EXPECT_TRUE(xlr::DrvPlgBlt(rig.page(), source.so(), nullptr, clip, nullptr, nullptr, nullptr,
                               skew, &whole, nullptr, COLORONCOLOR));
    EXPECT_EQ(rig.state()->skipSenderOnce, 0);
    EXPECT_EQ(Unidrv().copyBits + (SentAnImage(rig) ? 1 : 0), 1);
}

TEST_F(BlitHooksTest, AQuarterTurnOfLineArtLeavesTheNextPhotoToTheSender) {
    HookRig rig;
    Bitmap checks(100, 100);  // hard edges whichever way it is turned
    checks.Fill([](LONG x, LONG y) { return (x + y) % 2 != 0 ? 0xFFFFFFu : 0u; });
    RECTL whole{0, 0, 100, 100};
    POINTFIX turn[3] = {xlplatform::PointFix(100, 300), xlplatform::PointFix(100, 200),
                        xlplatform::PointFix(200, 300)};
    EXPECT_TRUE(xlr::DrvPlgBlt(rig.page(), checks.so(), nullptr, clip, nullptr, nullptr, nullptr,
                               turn, &whole, nullptr, COLORONCOLOR));
    EXPECT_EQ(Unidrv().copyBits, 1) << "the turned picture went to Unidrv";
    EXPECT_EQ(rig.state()->skipSenderOnce, 0) << "the turn's own call is over";
    EXPECT_TRUE(BitBlt(rig, photo.so(), dest));
    EXPECT_TRUE(SentAnImage(rig)) << "the next photo is compressed";
}

TEST_F(BlitHooksTest, CompressedSources) {
    HookRig rig;
    // A PNG source is decoded to 24 bits and sent.
    const auto png = xltest::EncodePng({.width = 64, .height = 48});
    xltest::CompressedSource pngSource(BMF_PNG, png, SIZEL{64, 48});
    EXPECT_TRUE(BitBlt(rig, pngSource.so(), RECTL{0, 0, 64, 48}));
    EXPECT_TRUE(SentAnImage(rig));
    EXPECT_EQ(Unidrv().bitBlt, 0);

    // A damaged PNG fails the call: nothing is drawn.
    auto damaged = png;
    damaged.resize(damaged.size() / 2);
    xltest::CompressedSource damagedSource(BMF_PNG, damaged, SIZEL{64, 48});
    rig.ClearSpooled();
    EXPECT_FALSE(BitBlt(rig, damagedSource.so(), RECTL{0, 0, 64, 48}));
    EXPECT_TRUE(rig.spooled().empty());
    EXPECT_EQ(Unidrv().Total(), 0);

    // Without pre-analysis a JPEG source goes to Unidrv as it came.
    const auto jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(64, 48));
    xltest::CompressedSource jpegSource(BMF_JPEG, jpeg, SIZEL{64, 48});
    EXPECT_TRUE(BitBlt(rig, jpegSource.so(), RECTL{0, 0, 64, 48}));
    EXPECT_EQ(Unidrv().bitBlt, 1);
    EXPECT_EQ(Unidrv().lastSourceFormat, BMF_JPEG);
    // With pre-analysis on it is decoded first, and sent.
    rig.state()->preAnalysis = 1;
    rig.ClearSpooled();
    EXPECT_TRUE(BitBlt(rig, jpegSource.so(), RECTL{0, 0, 64, 48}));
    EXPECT_TRUE(SentAnImage(rig));
    EXPECT_EQ(Unidrv().bitBlt, 1);
}

}  // namespace
