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

// The image with its first scan repeated `copies` more times. The first scan of
// a progressive image is the DC scan, which decodes the same each time.
Bytes WithFirstScanRepeated(const Bytes& jpeg, int copies) {
    size_t start = 0;
    while (!(jpeg[start] == 0xFF && jpeg[start + 1] == 0xDA)) ++start;
    // The coded data ends at the next marker; 0xFF 0x00 is a stuffed byte and
    // 0xFF 0xD0-0xD7 a restart within it.
    size_t end = start + 2 + (size_t{jpeg[start + 2]} << 8 | jpeg[start + 3]);
    while (!(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] & 0xF8) != 0xD0)) ++end;
    Bytes repeated(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    for (int i = 0; i < copies; ++i)
        repeated.insert(repeated.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(start),
                        jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    repeated.insert(repeated.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(end), jpeg.end());
    return repeated;
}

// Each scan costs a pass over the image and may be a dozen bytes: past the
// limit the decoding stops, whatever else is fatal.
TEST(CodecTest, JpegScansAreLimited) {
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(32, 16), 90, true);
    const int scans = 10;  // the library's progression for a colour image
    EXPECT_EQ(DecodeAll(WithFirstScanRepeated(jpeg, xlcodec::kMaxScans - scans), false, false), "");
    for (const bool fatal : {false, true})
        EXPECT_EQ(
            DecodeAll(WithFirstScanRepeated(jpeg, xlcodec::kMaxScans - scans + 1), fatal, fatal),
            "the image has more than 500 scans");
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
