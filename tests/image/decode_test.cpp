// Decoding of JPEG and PNG sources into 24-bit surfaces: the PNG colour types,
// scaled JPEG decompression, stretching to the declared size, the holder, and
// damaged or lying input that must fail cleanly.
#include <gtest/gtest.h>

#include <xlplatform/world.h>

#include "image/decoded_image.h"
#include "image/jpeg_source.h"
#include "image/png_source.h"
#include "support/test_images.h"

namespace {

using xltest::Bytes;
using xltest::CompressedSource;
using xltest::EncodePng;
using xltest::PixelAt;
using xltest::PngSample;

class DecodeTest : public ::testing::Test {
  protected:
    void SetUp() override { xlplatform::ResetWorld(); }
};

uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

TEST_F(DecodeTest, PngColourTypes) {
    struct Case {
        const char* what;
        xltest::PngSpec spec;
        bool decodes;
        uint32_t pixel21;  // expected colour at (2, 1)
    };
    const std::vector<uint32_t> palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0};
    const uint8_t s = PngSample(2, 1, 0);
    const uint32_t rgb = Rgb(PngSample(2, 1, 0), PngSample(2, 1, 1), PngSample(2, 1, 2));
    const uint8_t twoBit = s * 3 / 255 * 85;
    const unsigned alpha = PngSample(2, 1, 1);
    ASSERT_EQ(s % palette.size(), 0u);
    const auto over = static_cast<uint8_t>((s * alpha + 255 * (255 - alpha) + 127) / 255);
    const Case cases[] = {
        {"RGB", {}, true, rgb},
        {"16-bit RGB", {.bitDepth = 16}, true, rgb},
        {"palette", {.colorType = 3, .palette = palette}, true, palette[s % palette.size()]},
        {"grey", {.colorType = 0}, true, Rgb(s, s, s)},
        {"2-bit grey, interlaced",
         {.colorType = 0, .bitDepth = 2, .interlaced = true},
         true,
         Rgb(twoBit, twoBit, twoBit)},
        // Transparency is put over white: grey 85 at alpha 175 (PngSample of channel 1).
        {"grey with alpha", {.colorType = 4}, true, Rgb(over, over, over)},
        {"interlaced 16-bit grey with alpha",
         {.colorType = 4, .bitDepth = 16, .interlaced = true},
         true,
         Rgb(over, over, over)},
        // Index 0, the pixel's, is the transparent one.
        {"palette with transparency",
         {.colorType = 3, .palette = palette, .transparency = true},
         true,
         0xFFFFFF},
        {"RGB with alpha", {.colorType = 6}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CompressedSource source(BMF_PNG, EncodePng(c.spec), SIZEL{c.spec.width, c.spec.height});
        ASSERT_NE(source.so(), nullptr);
        xlr::DecodedImage holder;
        SURFOBJ* decoded = nullptr;
        ASSERT_EQ(xlr::DecodePng(holder, source.so(), &decoded), c.decodes);
        if (!c.decodes) {
            EXPECT_EQ(decoded, nullptr);
            EXPECT_EQ(holder.surface, nullptr);
            continue;
        }
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(decoded->iBitmapFormat, BMF_24BPP);
        EXPECT_EQ(decoded->sizlBitmap.cx, c.spec.width);
        EXPECT_EQ(decoded->sizlBitmap.cy, c.spec.height);
        EXPECT_LT(decoded->lDelta, 0) << "bottom-up";
        EXPECT_EQ(PixelAt(decoded, 2, 1), c.pixel21);
    }
}

TEST_F(DecodeTest, PngStretchedToTheDeclaredSize) {
    CompressedSource source(BMF_PNG, EncodePng({.width = 100, .height = 50}), SIZEL{200, 100});
    xlr::DecodedImage holder;
    SURFOBJ* decoded = nullptr;
    ASSERT_TRUE(xlr::DecodePng(holder, source.so(), &decoded));
    ASSERT_EQ(decoded, holder.surface);
    EXPECT_EQ(decoded->sizlBitmap.cx, 200);
    EXPECT_EQ(decoded->sizlBitmap.cy, 100);
    EXPECT_EQ(holder.pixels, nullptr) << "the stretched bitmap's bits are the engine's";
    // Nearest pixel: destination (2x, 2y) and (2x+1, 2y+1) show source (x, y).
    for (const POINTL p : {POINTL{0, 0}, POINTL{37, 20}, POINTL{99, 49}}) {
        const uint32_t expected =
            Rgb(PngSample(p.x, p.y, 0), PngSample(p.x, p.y, 1), PngSample(p.x, p.y, 2));
        EXPECT_EQ(PixelAt(decoded, 2 * p.x, 2 * p.y), expected);
        EXPECT_EQ(PixelAt(decoded, 2 * p.x + 1, 2 * p.y + 1), expected);
    }
}

TEST_F(DecodeTest, JpegDecompressedAtAQuarterWithoutAStretch) {
    const auto image = xltest::PhotoLikeRgb(1600, 1200);
    CompressedSource source(BMF_JPEG, xltest::EncodeJpeg(image), SIZEL{400, 300});
    xlr::DecodedImage holder;
    SURFOBJ* decoded = nullptr;
    ASSERT_TRUE(xlr::DecodeJpeg(holder, source.so(), &decoded));
    EXPECT_EQ(decoded->sizlBitmap.cx, 400);
    EXPECT_EQ(decoded->sizlBitmap.cy, 300);
    EXPECT_NE(holder.pixels, nullptr) << "decoded straight into the held buffer, not stretched";
    EXPECT_EQ(decoded->lDelta, -1200);
    // The colours are those of the image (blue in the lowest byte), top row at the top.
    for (const POINTL p : {POINTL{10, 10}, POINTL{200, 150}, POINTL{390, 290}}) {
        const uint32_t expected = image.At(p.x * 4 + 2, p.y * 4 + 2),
                       got = PixelAt(decoded, p.x, p.y);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((got >> shift) & 0xFF), int((expected >> shift) & 0xFF), 12)
                << p.x << "," << p.y;
    }
}

TEST_F(DecodeTest, JpegScalesThatMissTheDeclaredSizeAreStretched) {
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(160, 120));
    struct Case {
        SIZEL declared;
        bool stretched;
    };
    // 100 × 75 asks for 100/160: the library gives 5/8 = 100 × 75 exactly.
    // 90 × 120 asks for 120/120 by the height: 160 × 120, stretched to 90 × 120.
    // 500 × 400 asks for more than twice: 320 × 240, then stretched.
    for (const Case c : {Case{{100, 75}, false}, Case{{90, 120}, true}, Case{{500, 400}, true},
                         Case{{160, 120}, false}}) {
        CompressedSource source(BMF_JPEG, jpeg, c.declared);
        xlr::DecodedImage holder;
        SURFOBJ* decoded = nullptr;
        ASSERT_TRUE(xlr::DecodeJpeg(holder, source.so(), &decoded)) << c.declared.cx;
        EXPECT_EQ(decoded->sizlBitmap.cx, c.declared.cx);
        EXPECT_EQ(decoded->sizlBitmap.cy, c.declared.cy);
        EXPECT_EQ(holder.pixels == nullptr, c.stretched) << c.declared.cx;
    }
}

TEST_F(DecodeTest, HolderKeepsOneImageAndAFailedTestKeepsIt) {
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(64, 48));
    CompressedSource first(BMF_JPEG, jpeg, SIZEL{64, 48});
    xlr::DecodedImage holder;
    SURFOBJ* decoded = nullptr;
    ASSERT_TRUE(xlr::DecodeJpeg(holder, first.so(), &decoded));
    SURFOBJ* kept = holder.surface;
    CompressedSource second(BMF_JPEG, Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}, SIZEL{64, 48});
    EXPECT_FALSE(xlr::DecodeJpeg(holder, second.so(), &decoded));
    EXPECT_EQ(holder.surface, kept) << "data that is not a JPEG leaves the held image";
    xlr::ReleaseDecoded(holder);
    EXPECT_EQ(holder.surface, nullptr);
    EXPECT_EQ(holder.bitmap, nullptr);
    EXPECT_EQ(holder.pixels, nullptr);
    xlr::ReleaseDecoded(holder);  // twice is harmless

    // A JPEG without its end marker is whole.
    CompressedSource unended(BMF_JPEG, Bytes(jpeg.begin(), jpeg.end() - 2), SIZEL{64, 48});
    EXPECT_TRUE(xlr::DecodeJpeg(holder, unended.so(), &decoded));
}

TEST_F(DecodeTest, DamagedAndLyingInputFailsCleanly) {
    const Bytes png = EncodePng({.width = 64, .height = 64});
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(64, 64));
    const Bytes progressive = xltest::EncodeJpeg(xltest::PhotoLikeRgb(64, 64), 90, true);
    struct Case {
        std::string what;
        ULONG format;
        Bytes data;
    };
    std::vector<Case> cases;
    for (auto& damaged : xltest::DamagedImages(jpeg, png))
        cases.push_back({damaged.what, damaged.isPng ? BMF_PNG : BMF_JPEG, damaged.data});
    cases.push_back({"progressive JPEG cut in half", BMF_JPEG,
                     Bytes(progressive.begin(), progressive.begin() + progressive.size() / 2)});
    Bytes hugeProgressive = progressive;
    xltest::SetJpegSize(hugeProgressive, 65500, 65500);
    cases.push_back({"progressive JPEG declaring 65500 × 65500", BMF_JPEG, hugeProgressive});
    cases.push_back({"PNG bytes as a JPEG", BMF_JPEG, png});
    cases.push_back({"JPEG bytes as a PNG", BMF_PNG, jpeg});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // An exact-size heap copy: the sanitizer build catches any read past it.
        CompressedSource source(c.format, c.data, SIZEL{64, 64});
        ASSERT_NE(source.so(), nullptr);
        xlr::DecodedImage holder;
        SURFOBJ* decoded = reinterpret_cast<SURFOBJ*>(1);
        const bool ok = c.format == BMF_PNG ? xlr::DecodePng(holder, source.so(), &decoded)
                                            : xlr::DecodeJpeg(holder, source.so(), &decoded);
        EXPECT_FALSE(ok);
        EXPECT_EQ(decoded, nullptr);
        EXPECT_EQ(holder.surface, nullptr);
        EXPECT_EQ(holder.pixels, nullptr);
    }
}

}  // namespace
