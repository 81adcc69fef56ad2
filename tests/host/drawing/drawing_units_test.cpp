// The pieces under Unidrv's drawing: run-length encoding and where the pixels of
// a cropped transfer land.
#include <gtest/gtest.h>

#include <random>

#include "host/drawing/blit_geometry.h"
#include "host/drawing/drawing_test_support.h"
#include "host/drawing/output/packbits.h"

namespace {

using namespace xlhost;

std::vector<uint8_t> Pack(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(PackBitsBound(in.size()));
    out.resize(PackBits(in.data(), in.size(), out.data()));
    return out;
}

TEST(PackBits, GoldenEncodings) {
    // FE 41: 0x41 three times; 01 41 42: two bytes as they are; 7F ...: 128 literals.
    EXPECT_EQ(Pack({0x41, 0x41, 0x41}), (std::vector<uint8_t>{0xFE, 0x41}));
    EXPECT_EQ(Pack({0x41, 0x42}), (std::vector<uint8_t>{0x01, 0x41, 0x42}));
    EXPECT_EQ(Pack({0x41, 0x41, 0x42}), (std::vector<uint8_t>{0x02, 0x41, 0x41, 0x42}));
    EXPECT_EQ(Pack(std::vector<uint8_t>(128, 7)), (std::vector<uint8_t>{0x81, 7}));  // 257 - 128
    EXPECT_EQ(Pack(std::vector<uint8_t>(130, 7)), (std::vector<uint8_t>{0x81, 7, 0x01, 7, 7}));
    EXPECT_TRUE(Pack({}).empty());
}

TEST(PackBits, RoundTripsWithinTheBound) {
    std::mt19937 random(42);
    const auto noise = [&](size_t n, int alphabet) {
        std::vector<uint8_t> v(n);
        for (auto& b : v) b = static_cast<uint8_t>(random() % alphabet);
        return v;
    };
    const std::vector<std::vector<uint8_t>> inputs = {
        {1},
        noise(127, 256),
        noise(128, 256),
        noise(129, 256),
        noise(5000, 256),
        noise(5000, 2),
        noise(5000, 3),
        std::vector<uint8_t>(129, 0),
        std::vector<uint8_t>(257, 0xFF),
        std::vector<uint8_t>(1000, 9),
    };
    for (const auto& input : inputs) {
        const auto packed = Pack(input);
        EXPECT_LE(packed.size(), PackBitsBound(input.size()));
        const auto unpacked = drawingtest::UnpackBits(packed.data(), packed.size());
        ASSERT_TRUE(unpacked.has_value());
        EXPECT_EQ(*unpacked, input) << "input of " << input.size() << " bytes";
    }
}

// Where the image pixel that starts a piece goes in the whole transfer.
int64_t WholeIndexOfFirst(const AxisMap& whole, const AxisMap& piece) {
    return piece.mirrored ? (whole.srcStart + whole.srcLength) - (piece.srcStart + piece.srcLength)
                          : piece.srcStart - whole.srcStart;
}

int64_t WholePosition(const AxisMap& whole, int64_t k) {
    return whole.dstStart + (k * whole.dstLength) / whole.srcLength;
}

// Cut into bands, each piece of a transfer lies exactly where the whole transfer
// puts its pixels, and covers its band.
TEST(AxisMap, PiecesOfBandsLandWhereTheWholeTransferPutsThem) {
    for (int64_t src : {1, 3, 7, 100, 1000}) {
        for (int64_t dst : {1, 5, 300, 1001}) {
            for (bool mirrored : {false, true}) {
                const AxisMap whole =
                    mirrored ? MapAxis(src, 0, 10, 10 + dst) : MapAxis(0, src, 10, 10 + dst);
                for (int64_t lo = 10; lo < 10 + dst; lo += 37) {
                    const int64_t hi = std::min(lo + 37, 10 + dst);
                    const AxisMap piece = whole.CropDevice(lo, hi);
                    ASSERT_FALSE(piece.Empty()) << src << " to " << dst << " at " << lo;
                    const int64_t k0 = WholeIndexOfFirst(whole, piece);
                    EXPECT_EQ(piece.dstStart, WholePosition(whole, k0));
                    EXPECT_EQ(piece.dstStart + piece.dstLength,
                              WholePosition(whole, k0 + piece.srcLength));
                    EXPECT_LE(piece.dstStart, lo);
                    EXPECT_GE(piece.dstStart + piece.dstLength, hi);
                    EXPECT_EQ(piece.mirrored, mirrored);
                }
            }
        }
    }
}

TEST(ImageAxis, SamplingFollowsTheWholeRunInEveryBand) {
    const AxisMap whole = MapAxis(0, 3, 0, 3000000);  // a million pixels a source pixel
    for (int64_t lo : {0, 999990, 1999999}) {
        const ImageAxis axis = PlanAxis(whole.CropDevice(lo, lo + 20), whole, lo, lo + 20);
        EXPECT_TRUE(axis.sampled);
        EXPECT_EQ(axis.position, lo);
        EXPECT_EQ(axis.count, 20);
        for (int64_t i = 0; i < 20; ++i) EXPECT_EQ(axis.Source(i), (lo + i) / 1000000) << lo + i;
    }
}

}  // namespace
