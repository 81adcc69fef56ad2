#include "host/images/image_file.h"

#include <gtest/gtest.h>

#include "support/run_command.h"
#include "support/test_images.h"

namespace xlhost {
namespace {

using xltest::Bytes;

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

DecodedImage MustDecode(Bytes bytes, const std::string& name) {
    auto source = IdentifyImage(std::move(bytes), name);
    if (auto* message = std::get_if<std::string>(&source)) ADD_FAILURE() << *message;
    if (!std::holds_alternative<ImageSource>(source)) return {};
    auto decoded = DecodeImage(std::get<ImageSource>(source));
    if (auto* message = std::get_if<std::string>(&decoded)) ADD_FAILURE() << *message;
    if (!std::holds_alternative<DecodedImage>(decoded)) return {};
    return std::get<DecodedImage>(std::move(decoded));
}

Bytes LyingPng(uint32_t width, uint32_t height) {
    Bytes png = xltest::EncodeRgbPng(xltest::PhotoLikeRgb(4, 3));
    xltest::SetPngSize(png, width, height);
    return png;
}

// Identification or decoding fails with a message that names the file.
std::string MustFail(Bytes bytes) {
    auto source = IdentifyImage(std::move(bytes), "bad.img");
    std::string message;
    if (auto* error = std::get_if<std::string>(&source)) {
        message = *error;
    } else {
        auto decoded = DecodeImage(std::get<ImageSource>(source));
        if (auto* decodeError = std::get_if<std::string>(&decoded)) message = *decodeError;
    }
    EXPECT_EQ(message.rfind("bad.img: ", 0), 0u) << "message: " << message;
    return message;
}

TEST(ImageFileTest, NetpbmVariantsDecodeToTheSamePixels) {
    // 3 x 2 pixels: red, green, blue / white, grey, black.
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"P6", Text(std::string("P6\n3 2\n255\n") +
                    std::string("\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF\x80\x80\x80\0\0\0", 18))},
        {"P6 with comments",
         Text(std::string("P6 # made by hand\n# size\n3 2 # w h\n255\n") +
              std::string("\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF\x80\x80\x80\0\0\0", 18))},
        {"P3", Text("P3 3 2 255\n255 0 0  0 255 0  0 0 255\n255 255 255  128 128 128  0 0 0")},
        {"P6 with 16-bit samples",
         Text(std::string("P6 3 2 65535\n") +
              std::string("\xFF\xFF\0\0\0\0\0\0\xFF\xFF\0\0\0\0\0\0\xFF\xFF", 18) +
              std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x80\x80\x80\x80\x80\x80\0\0\0\0\0\0", 18))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedImage image = MustDecode(c.file, c.name);
        ASSERT_EQ(image.width, 3u);
        ASSERT_EQ(image.height, 2u);
        EXPECT_EQ(image.stride, 12u);  // 9 bytes padded to 4
        const uint32_t expected[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080, 0};
        for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(image.Rgb(i % 3, i / 3), expected[i]) << i;
        // Bottom-up, blue first: the image's top row is the last in memory.
        EXPECT_EQ(image.bits[image.stride + 0], 0x00);  // red pixel: blue
        EXPECT_EQ(image.bits[image.stride + 2], 0xFF);  // red pixel: red
    }
    // Samples are scaled from the file's maximum to 255, rounded.
    const DecodedImage fifteen = MustDecode(Text("P3 2 1 15\n15 8 0  1 1 1\n"), "fifteen");
    EXPECT_EQ(fifteen.Rgb(0, 0), 0xFF8800u);
    EXPECT_EQ(fifteen.Rgb(1, 0), 0x111111u);
    const DecodedImage grey = MustDecode(Text(std::string("P5 2 1 255\n\x10\xF0", 13)), "grey");
    EXPECT_EQ(grey.Rgb(0, 0), 0x101010u);
    EXPECT_EQ(grey.Rgb(1, 0), 0xF0F0F0u);
}

TEST(ImageFileTest, PngAndJpegDecodeTo24Bits) {
    const auto photo = xltest::PhotoLikeRgb(5, 4);
    const DecodedImage rgb = MustDecode(xltest::EncodeRgbPng(photo), "rgb.png");
    ASSERT_EQ(rgb.width, 5u);
    EXPECT_EQ(rgb.Rgb(4, 3), photo.At(4, 3));
    // A palette image, 16-bit samples and grey with alpha (laid over white).
    const DecodedImage palette = MustDecode(xltest::EncodePng({.width = 2,
                                                               .height = 1,
                                                               .colorType = 3,
                                                               .palette = {0x0A141E, 0xC86432},
                                                               .samples = {1, 0}}),
                                            "palette.png");
    EXPECT_EQ(palette.Rgb(0, 0), 0xC86432u);
    EXPECT_EQ(palette.Rgb(1, 0), 0x0A141Eu);
    const DecodedImage deep = MustDecode(
        xltest::EncodePng({.width = 1, .height = 1, .bitDepth = 16, .samples = {255, 0, 0}}),
        "deep.png");
    EXPECT_EQ(deep.Rgb(0, 0), 0xFF0000u);
    const DecodedImage alpha = MustDecode(
        xltest::EncodePng({.width = 2, .height = 1, .colorType = 4, .samples = {0, 0, 0, 255}}),
        "alpha.png");
    EXPECT_EQ(alpha.Rgb(0, 0), 0xFFFFFFu);  // transparent: the paper shows
    EXPECT_EQ(alpha.Rgb(1, 0), 0x000000u);

    const DecodedImage jpeg = MustDecode(
        xltest::EncodeJpeg(xltest::MakeRgb(32, 24, [](int, int) { return 0x3080C0u; }), 95),
        "flat.jpg");
    ASSERT_EQ(jpeg.width, 32u);
    ASSERT_EQ(jpeg.height, 24u);
    for (uint32_t y : {0u, 23u})
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((jpeg.Rgb(31, y) >> shift) & 0xFF), (0x3080C0 >> shift) & 0xFF, 3);
}

TEST(ImageFileTest, BadFilesFailCleanly) {
    const struct {
        const char* name;
        Bytes file;
        const char* expected;  // a part of the message
    } cases[] = {
        {"empty", {}, "empty file"},
        {"unknown signature", Text("GIF89a...."), "not a JPEG, PNG or PPM"},
        {"P6 lying about its size", Text("P6 10000 10000 255\n\x01\x02\x03"), "truncated PPM data"},
        {"P6 too large", Text("P6 20000 20000 255\n"), "more than the 268435456"},
        {"P6 width 0", Text("P6 0 4 255\n"), "no pixels"},
        {"P6 maximum 0", Text("P6 1 1 0\n\0\0\0"), "maximum value"},
        {"P6 maximum too big", Text("P6 1 1 65536\n"), "maximum value"},
        {"P6 side overflowing", Text("P6 99999999999999999999 1 255\n"), "bad PPM header"},
        {"P6 no space after the maximum", Text("P6 1 1 255"), "no white space"},
        {"P3 missing samples", Text("P3 2 2 255\n1 2 3 4 5 6 7 8 9 10 11"), "PPM data"},
        {"P3 sample above the maximum", Text("P3 1 1 15\n1 2 16\n"), "PPM data"},
        {"P5 16-bit sample above the maximum", Text(std::string("P5 1 1 300\n\xFF\xFF", 13)),
         "above the maximum"},
        // Within the pixel limit, but far more than its few bytes could inflate to:
        // refused before the 768 MiB bitmap is allocated.
        {"PNG declaring 16384 x 16384", LyingPng(16384, 16384), "more than the file's data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(MustFail(c.file).find(c.expected), std::string::npos);
    }
    // Damaged JPEG and PNG files fail naming the file; those that declare an enormous
    // size are refused for it.
    for (const auto& damaged :
         xltest::DamagedImages(xltest::EncodeJpeg(xltest::PhotoLikeRgb(64, 48)),
                               xltest::EncodeRgbPng(xltest::PhotoLikeRgb(64, 48)))) {
        SCOPED_TRACE(damaged.what);
        const bool enormous = damaged.what.find("0 x ") != std::string::npos;
        const std::string message = MustFail(damaged.data);
        EXPECT_EQ(message.find("more than the 268435456") != std::string::npos, enormous);
    }
}

// A page's picture reuses the memory of the last one freed, unzeroed: every
// byte of the new bitmap, padding included, must come from the decoder.
TEST(ImageFileTest, PixelsDoNotDependOnTheReusedMemory) {
    // 1001 pixels a row: one byte of padding; over 2 MiB, so a block of its own.
    const auto photo = xltest::PhotoLikeRgb(1001, 700);
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"P6", xltest::EncodePpm(photo)},
        {"JPEG", xltest::EncodeJpeg(photo, 90)},
        {"PNG", xltest::EncodeRgbPng(photo)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t* freed = nullptr;
        {
            DecodedImage dirty = MustDecode(c.file, c.name);
            std::fill(dirty.bits.begin(), dirty.bits.end(), uint8_t{0xA5});
            freed = dirty.bits.data();
        }
        const DecodedImage reused = MustDecode(c.file, c.name);
        EXPECT_EQ(reused.bits.data(), freed) << "the freed block is taken again";
        const DecodedImage fresh = MustDecode(c.file, c.name);
        ASSERT_EQ(reused.stride, 3004u);
        EXPECT_TRUE(reused.bits == fresh.bits);
        for (uint32_t y = 0; y < reused.height; ++y)
            ASSERT_EQ(reused.Row(y)[3003], 0) << "padding of row " << y;
    }
}

// The player checks later pages' files from their first bytes only; what it
// learns, and every message, must be what a whole read gives.
TEST(ImageFileTest, AHeaderReadAgreesWithAWholeRead) {
    const xltest::TempDir directory;
    const auto photo = xltest::PhotoLikeRgb(160, 120);
    Bytes lateFrame = xltest::EncodeJpeg(photo);
    Bytes segment = {0xFF, 0xE2, 0xFF, 0xFF};  // an APP2 of the largest length
    segment.resize(2 + 0xFFFF, 0x41);
    lateFrame.insert(lateFrame.begin() + 2, segment.begin(), segment.end());
    Bytes noise(100000, 0x5A);
    const auto large = xltest::PhotoLikeRgb(300, 200);  // files past the first bytes
    Bytes cutPpm = xltest::EncodePpm(large);
    cutPpm.resize(cutPpm.size() / 2);
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"p6.ppm", xltest::EncodePpm(large)},
        {"late-frame.jpg", lateFrame},
        {"photo.png", xltest::EncodeRgbPng(large)},
        {"small.jpg", xltest::EncodeJpeg(xltest::PhotoLikeRgb(8, 8))},
        {"noise.bin", noise},
        {"cut.ppm", cutPpm},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = directory / c.name;
        xltest::WriteFile(path, c.file);
        const auto header = ReadImageHeader(path);
        const auto whole = ReadImageFile(path);
        ASSERT_EQ(header.index(), whole.index());
        if (const auto* message = std::get_if<std::string>(&whole)) {
            EXPECT_EQ(std::get<std::string>(header), *message);
            continue;
        }
        const auto& fromHeader = std::get<ImageSource>(header);
        const auto& fromWhole = std::get<ImageSource>(whole);
        EXPECT_EQ(fromHeader.format, fromWhole.format);
        EXPECT_EQ(fromHeader.width, fromWhole.width);
        EXPECT_EQ(fromHeader.height, fromWhole.height);
        EXPECT_TRUE(fromHeader.bytes.empty());
    }
    EXPECT_EQ(std::get<ImageSource>(ReadImageHeader(directory / "late-frame.jpg")).width, 160u);
}

}  // namespace
}  // namespace xlhost
