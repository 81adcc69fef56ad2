// The shared JPEG and PNG wrappers: which damage is fatal in each mode, and the
// library's own text of the failure kept for the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/codec/jpeg_codec.h"
#include "image/codec/png_reader.h"
#include "support/test_images.h"

namespace {

using xltest::Bytes;

// Decodes every row; the message is empty on success.
std::string DecodeAll(const Bytes& jpeg, bool damagedDataIsFatal, bool endOfDataIsFatal) {
    xlcodec::JpegDecompressor decompressor(damagedDataIsFatal);
    decompressor.errors().endOfDataIsFatal = endOfDataIsFatal;
    jpeg_decompress_struct& info = decompressor.info();
    std::vector<uint8_t> row;
    const bool ok = xlcodec::JpegGuarded(decompressor.errors(), [&] {
        decompressor.Create(jpeg.data(), jpeg.size());
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        row.resize(size_t{info.output_width} * info.output_components);
        JSAMPROW rows[1] = {row.data()};
        while (info.output_scanline < info.output_height) jpeg_read_scanlines(&info, rows, 1);
        jpeg_finish_decompress(&info);
    });
    EXPECT_EQ(ok, decompressor.message()[0] == 0);
    return decompressor.message();
}

TEST(CodecTest, JpegDamageIsFatalOnlyWhereAsked) {
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(256, 192));
    const Bytes unended(jpeg.begin(), jpeg.end() - 2);
    Bytes scrambled = jpeg;
    std::fill_n(scrambled.end() - scrambled.size() / 4, 64, 0xFF);
    const Bytes cut(jpeg.begin(), jpeg.end() - jpeg.size() / 4);
    struct Case {
        const char* what;
        const Bytes& data;
        bool damagedFatal, endFatal;
        const char* message;  // empty: decodes
    };
    const Case cases[] = {
        {"whole", jpeg, true, true, ""},
        {"no end marker, end fatal", unended, true, true, "Premature end of JPEG file"},
        {"no end marker, end not fatal", unended, true, false, ""},
        {"scrambled, damage fatal", scrambled, true, false, "Corrupt JPEG data"},
        {"cut short, nothing fatal (grey rows)", cut, false, false, ""},
        {"cut short, damage fatal", cut, true, false, "Corrupt JPEG data"},
        {"not a JPEG", Bytes{'G', 'I', 'F', '8', '9', 'a'}, false, false, "Not a JPEG file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = DecodeAll(c.data, c.damagedFatal, c.endFatal);
        if (c.message[0] == 0)
            EXPECT_EQ(message, "");
        else
            EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    }
}

TEST(CodecTest, PngFailuresKeepLibpngsText) {
    const Bytes png = xltest::EncodePng({.width = 16, .height = 16});
    struct Case {
        const char* what;
        Bytes data;
        const char* message;
    };
    const Case cases[] = {
        {"whole", png, ""},
        {"cut inside the header", Bytes(png.begin(), png.begin() + 20), "PNG data ends early"},
        {"not a PNG", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "Not a PNG file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        xlcodec::PngReader reader(c.data.data(), c.data.size());
        ASSERT_TRUE(reader);
        xlcodec::PngHeader header;
        EXPECT_EQ(xlcodec::ReadPngHeader(reader, header), c.message[0] == 0);
        EXPECT_EQ(std::string(reader.message()), c.message);
    }
    EXPECT_TRUE(xlcodec::HasPngSignature(png.data(), png.size()));
    EXPECT_FALSE(xlcodec::HasPngSignature(png.data(), 7));
}

}  // namespace
