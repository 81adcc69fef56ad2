// EngStretchBlt, EngStretchBltROP and EngPlgBlt: resampling results on small known
// images, mirroring, quarter turns, bad input.
#include "engine_test_support.h"

#include <climits>

using enginetest::Bitmap;
using enginetest::Grey;

namespace {

std::vector<ULONG> Greys(std::initializer_list<int> levels) {
    std::vector<ULONG> out;
    for (int v : levels) out.push_back(Grey(static_cast<BYTE>(v)));
    return out;
}

std::vector<ULONG> Stretched(const Bitmap& src, RECTL from, LONG cx, LONG cy, RECTL to,
                             ULONG mode) {
    Bitmap dst(cx, cy);
    EXPECT_TRUE(EngStretchBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, &to,
                              &from, nullptr, mode));
    return dst.Pixels();
}

TEST(EngineStretchBlt, NearestAndHalftoneOnKnownImages) {
    struct Case {
        const char* name;
        LONG srcCx, srcCy;
        std::vector<ULONG> source;
        LONG dstCx, dstCy;
        ULONG mode;
        std::vector<ULONG> expected;
    };
    const Case cases[] = {
        // Halving: the nearest pixel is the one under each destination centre (source
        // x 1 and 3); halftone averages each pair ((200 + 255) / 2 rounds to 228).
        {"halve nearest", 4, 1, Greys({0, 100, 200, 255}), 2, 1, COLORONCOLOR, Greys({100, 255})},
        {"halve halftone", 4, 1, Greys({0, 100, 200, 255}), 2, 1, HALFTONE, Greys({50, 228})},
        // Doubling: nearest repeats; halftone interpolates between pixel centres and
        // holds the edge pixels.
        {"double nearest", 2, 1, Greys({0, 200}), 4, 1, COLORONCOLOR, Greys({0, 0, 200, 200})},
        {"double halftone", 2, 1, Greys({0, 200}), 4, 1, HALFTONE, Greys({0, 50, 150, 200})},
        // Two by two into one: the average of all four (0 + 40 + 80 + 120) / 4.
        {"square halftone", 2, 2, Greys({0, 40, 80, 120}), 1, 1, HALFTONE, Greys({60})},
        {"square nearest", 2, 2, Greys({0, 40, 80, 120}), 1, 1, COLORONCOLOR, Greys({120})},
        // Three into two: thirds of a pixel (2/3 * 30 + 1/3 * 60 = 40; 1/3 * 60 + 2/3 * 90 = 80).
        {"three to two halftone", 3, 1, Greys({30, 60, 90}), 2, 1, HALFTONE, Greys({40, 80})},
        // Colour channels are averaged one by one.
        {"colour halftone", 2, 1, {0xFF0000, 0x0000FF}, 1, 1, HALFTONE, {0x800080}},
        {"same size", 3, 1, Greys({1, 2, 3}), 3, 1, HALFTONE, Greys({1, 2, 3})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap src(c.srcCx, c.srcCy);
        src.SetPixels(c.source);
        EXPECT_EQ(Stretched(src, RECTL{0, 0, c.srcCx, c.srcCy}, c.dstCx, c.dstCy,
                            RECTL{0, 0, c.dstCx, c.dstCy}, c.mode),
                  c.expected);
    }
}

TEST(EngineStretchBlt, InvertedRectanglesMirror) {
    Bitmap src(3, 1);
    src.SetPixels(Greys({10, 20, 30}));
    EXPECT_EQ(Stretched(src, RECTL{0, 0, 3, 1}, 3, 1, RECTL{3, 0, 0, 1}, COLORONCOLOR),
              Greys({30, 20, 10}));
    EXPECT_EQ(Stretched(src, RECTL{3, 0, 0, 1}, 3, 1, RECTL{0, 0, 3, 1}, HALFTONE),
              Greys({30, 20, 10}));
    // Both inverted: no mirror.
    EXPECT_EQ(Stretched(src, RECTL{3, 0, 0, 1}, 3, 1, RECTL{3, 0, 0, 1}, COLORONCOLOR),
              Greys({10, 20, 30}));
}

TEST(EngineStretchBlt, ClipAndTopDownSourcesAndPartOfTheSource) {
    Bitmap src(4, 2, BMF_24BPP, BMF_TOPDOWN);
    src.SetPixels(Greys({1, 2, 3, 4, 5, 6, 7, 8}));
    Bitmap dst(4, 2);
    CLIPOBJ* clip = xlplatform::CreateRectClip(RECTL{0, 0, 4, 1});
    RECTL from{2, 0, 4, 2}, to{0, 0, 4, 2};
    ASSERT_TRUE(EngStretchBlt(dst.so(), src.so(), nullptr, clip, nullptr, nullptr, nullptr, &to,
                              &from, nullptr, COLORONCOLOR));
    EXPECT_EQ(dst.Pixels(), Greys({3, 3, 4, 4, 0, 0, 0, 0}));
    EngDeleteClip(clip);
}

TEST(EngineStretchBltROP, OperationsApplyAfterResampling) {
    Bitmap src(2, 1), dst(4, 1);
    src.SetPixels({0x0000FF, 0x00FF00});
    dst.Fill(0xFFFFFF);
    RECTL from{0, 0, 2, 1}, to{0, 0, 4, 1};
    ASSERT_TRUE(EngStretchBltROP(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &to, &from, nullptr, COLORONCOLOR, nullptr, 0x6666));
    EXPECT_EQ(dst.Pixels(), (std::vector<ULONG>{0xFFFF00, 0xFFFF00, 0xFF00FF, 0xFF00FF}));
    // A fill needs no source.
    BRUSHOBJ brush = xlplatform::SolidBrush(0x336699);
    ASSERT_TRUE(EngStretchBltROP(dst.so(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 &to, nullptr, nullptr, COLORONCOLOR, &brush, 0xF0F0));
    EXPECT_EQ(dst.Pixels(), std::vector<ULONG>(4, 0x336699));
}

TEST(EngineStretchBlt, BadInputFailsCleanly) {
    Bitmap src(4, 4), dst(4, 4);
    dst.Fill(0x777777);
    const struct {
        const char* name;
        SURFOBJ *dst, *src, *mask;
        RECTL from;
        ULONG mode;
    } cases[] = {
        {"no target", nullptr, src.so(), nullptr, {0, 0, 4, 4}, HALFTONE},
        {"no source", dst.so(), nullptr, nullptr, {0, 0, 4, 4}, HALFTONE},
        {"mask", dst.so(), src.so(), src.so(), {0, 0, 4, 4}, HALFTONE},
        {"mode 0", dst.so(), src.so(), nullptr, {0, 0, 4, 4}, 0},
        {"mode 5", dst.so(), src.so(), nullptr, {0, 0, 4, 4}, 5},
        {"source left of the bitmap", dst.so(), src.so(), nullptr, {-1, 0, 3, 4}, COLORONCOLOR},
        {"source below the bitmap", dst.so(), src.so(), nullptr, {0, 1, 4, 5}, COLORONCOLOR},
        {"empty source", dst.so(), src.so(), nullptr, {2, 2, 2, 4}, COLORONCOLOR},
        {"huge", dst.so(), src.so(), nullptr, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, HALFTONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RECTL to{0, 0, 4, 4}, from = c.from;
        EXPECT_FALSE(EngStretchBlt(c.dst, c.src, c.mask, nullptr, nullptr, nullptr, nullptr, &to,
                                   &from, nullptr, c.mode));
        EXPECT_EQ(dst.Rgb(0, 0), 0x777777u);
    }
    // A huge destination is cut to the bitmap; the mapping stays exact in 64 bits.
    src.Fill(0x010203);
    RECTL to{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2}, from{0, 0, 4, 4};
    EXPECT_TRUE(EngStretchBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, &to,
                              &from, nullptr, HALFTONE));
    EXPECT_EQ(dst.Rgb(0, 0), 0x010203u);
}

// Source 3 x 2 with distinct pixels, drawn through a parallelogram given in pixels.
std::vector<ULONG> Plg(LONG cx, LONG cy, POINTL a, POINTL b, POINTL c) {
    Bitmap src(3, 2);
    src.SetPixels({1, 2, 3, 4, 5, 6});
    Bitmap dst(cx, cy);
    POINTFIX points[3] = {xlplatform::PointFix(a.x, a.y), xlplatform::PointFix(b.x, b.y),
                          xlplatform::PointFix(c.x, c.y)};
    RECTL from{0, 0, 3, 2};
    EXPECT_TRUE(EngPlgBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, points,
                          &from, nullptr, COLORONCOLOR));
    return dst.Pixels();
}

TEST(EnginePlgBlt, QuarterTurnsAndMirrorsMoveEveryPixelExactly) {
    struct Case {
        const char* name;
        LONG cx, cy;
        POINTL a, b, c;  // where the upper-left, upper-right and lower-left corners go
        std::vector<ULONG> expected;
    };
    // Source:  1 2 3
    //          4 5 6
    // Quarter turns both ways are checked pixel by pixel by the plug-in's and
    // Unidrv's parallelogram tests, which turn pictures through this function.
    const Case cases[] = {
        {"identity", 3, 2, {0, 0}, {3, 0}, {0, 2}, {1, 2, 3, 4, 5, 6}},
        {"half turn", 3, 2, {3, 2}, {0, 2}, {3, 0}, {6, 5, 4, 3, 2, 1}},
        {"mirror", 3, 2, {3, 0}, {0, 0}, {3, 2}, {3, 2, 1, 6, 5, 4}},
        {"double size", 6, 4, {0, 0}, {6, 0}, {0, 4}, {1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3,
                                                       4, 4, 5, 5, 6, 6, 4, 4, 5, 5, 6, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Plg(c.cx, c.cy, c.a, c.b, c.c), c.expected);
    }
}

TEST(EnginePlgBlt, BadInputFailsCleanly) {
    Bitmap src(2, 2), dst(2, 2);
    POINTFIX points[3] = {{0, 0}, {32, 0}, {0, 32}};
    POINTFIX flat[3] = {{0, 0}, {32, 0}, {64, 0}};
    POINTFIX far[3] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}};
    RECTL from{0, 0, 2, 2}, outside{0, 0, 3, 2};
    EXPECT_FALSE(EngPlgBlt(nullptr, src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, points,
                           &from, nullptr, HALFTONE));
    EXPECT_FALSE(EngPlgBlt(dst.so(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, points,
                           &from, nullptr, HALFTONE));
    EXPECT_FALSE(EngPlgBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &from, nullptr, HALFTONE));
    EXPECT_FALSE(EngPlgBlt(dst.so(), src.so(), src.so(), nullptr, nullptr, nullptr, nullptr, points,
                           &from, nullptr, HALFTONE));
    EXPECT_FALSE(EngPlgBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, points,
                           &outside, nullptr, HALFTONE));
    EXPECT_FALSE(EngPlgBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, points,
                           &from, nullptr, 9));
    // A flat parallelogram covers nothing; a vast one is cut to the bitmap.
    EXPECT_TRUE(EngPlgBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, flat,
                          &from, nullptr, HALFTONE));
    EXPECT_TRUE(EngPlgBlt(dst.so(), src.so(), nullptr, nullptr, nullptr, nullptr, nullptr, far,
                          &from, nullptr, HALFTONE));
}

}  // namespace
