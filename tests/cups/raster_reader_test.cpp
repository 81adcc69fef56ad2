#include "cups/raster_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "cups/raster_page_stream.h"
#include "support/cups_raster.h"
#include "support/run_command.h"

namespace xlcups {
namespace {

using xltest::MakeRaster;
using xltest::RasterPageSpec;
using xltest::RasterSample;

// Raster bytes in a file of their own, open for reading.
class RasterFile {
  public:
    explicit RasterFile(const std::string& bytes) {
        const std::string path = dir_ / "page.ras";
        const int out = ::open(path.c_str(), O_WRONLY | O_CREAT, 0600);
        EXPECT_EQ(::write(out, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        ::close(out);
        fd_ = ::open(path.c_str(), O_RDONLY);
    }
    ~RasterFile() { ::close(fd_); }
    int fd() const { return fd_; }

  private:
    xltest::TempDir dir_;
    int fd_ = -1;
};

std::unique_ptr<RasterReader> OpenReader(const RasterFile& file) {
    std::string error;
    auto reader = RasterReader::Open(file.fd(), {}, error);
    EXPECT_NE(reader, nullptr) << error;
    return reader;
}

xlhost::DecodedImage ReadPage(RasterReader& reader, const RECTL& keep,
                              RasterPageHeader* header = nullptr) {
    RasterPageHeader read;
    std::string error;
    EXPECT_EQ(reader.NextHeader(read, error), RasterReader::Read::Page) << error;
    if (header != nullptr) *header = read;
    xlhost::DecodedImage pixels;
    EXPECT_TRUE(reader.ReadPixels(keep, pixels, error)) << error;
    return pixels;
}

constexpr RECTL kWhole{0, 0, 1000, 1000};

unsigned Gray(unsigned v) {
    return v << 16 | v << 8 | v;
}

TEST(RasterReader, ColourSpacesAndDepthsBecomeRgb) {
    const auto at = [](unsigned x, unsigned y, unsigned c) { return RasterSample(x, y, c); };
    const auto bit = [](unsigned x, unsigned y, unsigned) { return (x + y) % 2; };
    const struct {
        const char* name;
        unsigned space, colors, bits;
        std::function<unsigned(unsigned, unsigned, unsigned)> sample;
        std::function<uint32_t(unsigned, unsigned)> rgb;
    } cases[] = {
        {"sRGB 8", 19, 3, 8, at,
         [&](unsigned x, unsigned y) {
             return at(x, y, 0) << 16 | at(x, y, 1) << 8 | at(x, y, 2);
         }},
        {"RGB 16", 1, 3, 16, [&](unsigned x, unsigned y, unsigned c) { return at(x, y, c) * 257; },
         [&](unsigned x, unsigned y) {
             return at(x, y, 0) << 16 | at(x, y, 1) << 8 | at(x, y, 2);
         }},
        {"sW 8", 18, 1, 8, at, [&](unsigned x, unsigned y) { return Gray(at(x, y, 0)); }},
        {"W 1", 0, 1, 1, bit, [&](unsigned x, unsigned y) { return Gray(bit(x, y, 0) * 255); }},
        {"K 8", 3, 1, 8, at, [&](unsigned x, unsigned y) { return Gray(255 - at(x, y, 0)); }},
        {"K 1", 3, 1, 1, bit, [&](unsigned x, unsigned y) { return Gray(bit(x, y, 0) ? 0 : 255); }},
        {"CMYK 8", 6, 4, 8, [](unsigned x, unsigned, unsigned c) { return c == 3 ? 40 : x * 25; },
         [](unsigned x, unsigned) { return Gray(x * 25 + 40 > 255 ? 0 : 215 - x * 25); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RasterPageSpec spec;
        spec.width = 11;  // not a whole number of bytes at one bit
        spec.height = 3;
        spec.colorSpace = c.space;
        spec.colors = c.colors;
        spec.bitsPerColor = c.bits;
        spec.sample = c.sample;
        RasterFile file(MakeRaster({spec}));
        auto reader = OpenReader(file);
        ASSERT_TRUE(reader);
        const auto pixels = ReadPage(*reader, kWhole);
        ASSERT_EQ(pixels.width, 11u);
        ASSERT_EQ(pixels.height, 3u);
        for (unsigned y = 0; y < 3; ++y)
            for (unsigned x = 0; x < 11; ++x)
                ASSERT_EQ(pixels.Rgb(x, y), c.rgb(x, y)) << x << "," << y;
    }
}

TEST(RasterReader, KeepsWhatIsAskedForAndReadsPastTheRest) {
    RasterPageSpec first;
    first.sizeName = "A4";
    first.pageWidth = 595;
    first.pageLength = 842;
    first.box[0] = 12, first.box[1] = 24, first.box[2] = 583, first.box[3] = 830;
    RasterPageSpec second;
    second.width = 5;
    second.xDpi = 300;
    RasterFile file(MakeRaster({first, first, second}));
    auto reader = OpenReader(file);
    ASSERT_TRUE(reader);
    RasterPageHeader header;
    const auto part = ReadPage(*reader, RECTL{2, 1, 6, 3}, &header);
    EXPECT_EQ(header.sizeName, "A4");
    EXPECT_EQ(header.pageWidth, 595);
    EXPECT_EQ(header.left, 12);
    EXPECT_EQ(header.top, 842 - 830);
    ASSERT_EQ(part.width, 4u);
    ASSERT_EQ(part.height, 2u);
    EXPECT_EQ(part.Rgb(0, 0) >> 16, RasterSample(2, 1, 0));
    EXPECT_EQ(part.Rgb(3, 1) >> 16, RasterSample(5, 2, 0));
    // The second page's pixels are not asked for; the third's header follows.
    std::string error;
    EXPECT_EQ(reader->NextHeader(header, error), RasterReader::Read::Page);
    EXPECT_EQ(reader->NextHeader(header, error), RasterReader::Read::Page) << error;
    EXPECT_EQ(header.width, 5u);
    EXPECT_EQ(header.xDpi, 300u);
    EXPECT_EQ(header.left, 0) << "no imaging box";
    EXPECT_EQ(reader->PageNumber(), 3);
    xlhost::DecodedImage pixels;
    EXPECT_TRUE(reader->ReadPixels(kWhole, pixels, error)) << error;
    EXPECT_EQ(reader->NextHeader(header, error), RasterReader::Read::End);
}

TEST(RasterReader, BytesReadAheadAndReadingAgain) {
    RasterPageSpec spec;
    const std::string bytes = MakeRaster({spec, spec});
    // From a pipe, after the bytes read to learn the type: once only.
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ::close(fds[1]);
    uint8_t head[8];
    ASSERT_EQ(::read(fds[0], head, 8), 8);
    std::string error;
    auto piped = RasterReader::Open(fds[0], head, error);
    ASSERT_TRUE(piped) << error;
    EXPECT_EQ(ReadPage(*piped, kWhole).Rgb(7, 3) >> 16, RasterSample(7, 3, 0));
    EXPECT_FALSE(piped->Rewind(error));
    EXPECT_EQ(error, "the raster pages cannot be read again");
    RasterPageHeader header;
    EXPECT_EQ(piped->NextHeader(header, error), RasterReader::Read::Failed);
    ::close(fds[0]);

    // From a file: again from the first page.
    RasterFile file(bytes);
    auto reader = OpenReader(file);
    ReadPage(*reader, kWhole);
    ReadPage(*reader, kWhole);
    ASSERT_TRUE(reader->Rewind(error)) << error;
    EXPECT_EQ(ReadPage(*reader, kWhole).Rgb(1, 1) >> 16, RasterSample(1, 1, 0));
    EXPECT_EQ(reader->PageNumber(), 1);
}

TEST(RasterReader, MalformedStreamsFailCleanly) {
    RasterPageSpec big;
    big.width = 300;
    big.height = 200;
    const std::string whole = MakeRaster({big});
    auto spec = [](std::function<void(RasterPageSpec&)> change) {
        RasterPageSpec page;
        change(page);
        return MakeRaster({page});
    };
    const struct {
        const char* name;
        std::string bytes;
        const char* error;  // empty: any message
    } cases[] = {
        {"not raster", "%PDF-1.4 and more", "the input is not CUPS raster"},
        {"no page", MakeRaster({}), "the raster stream holds no page it can read"},
        {"cut in the pixels", whole.substr(0, whole.size() - 40),
         "raster page 1: the data ends at line"},
        {"cut in the header", whole.substr(0, 900), ""},
        {"banded", spec([](RasterPageSpec& p) { p.colorOrder = 1; }), "chunked"},
        {"4 bits", spec([](RasterPageSpec& p) { p.bitsPerColor = 4; }), "4 bits per colour"},
        {"1-bit RGB", spec([](RasterPageSpec& p) { p.bitsPerColor = 1; }), "1 bits per colour"},
        {"CIE Lab", spec([](RasterPageSpec& p) { p.colorSpace = 16; }), "colour space 16"},
        {"no resolution", spec([](RasterPageSpec& p) { p.xDpi = 0; }), ""},
        {"too fine", spec([](RasterPageSpec& p) { p.yDpi = 20000; }),
         "a resolution of 600 x 20000"},
        {"too large", spec([](RasterPageSpec& p) {
             p.width = p.height = 70000;
             p.writeLines = false;
         }),
         "a page of 70000 x 70000 pixels"},
        {"no width", spec([](RasterPageSpec& p) { p.width = 0; }), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RasterFile file(c.bytes);
        std::string error;
        auto reader = RasterReader::Open(file.fd(), {}, error);
        if (reader) {
            RasterPageHeader header;
            xlhost::DecodedImage pixels;
            const auto read = reader->NextHeader(header, error);
            if (read == RasterReader::Read::Page)
                EXPECT_FALSE(reader->ReadPixels(kWhole, pixels, error));
            else
                EXPECT_EQ(read, RasterReader::Read::Failed);
        }
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
}

RasterPageHeader PageOf(uint32_t width, uint32_t height, uint32_t dpi, double left = 0,
                        double top = 0) {
    RasterPageHeader page;
    page.width = width;
    page.height = height;
    page.xDpi = page.yDpi = dpi;
    page.left = left;
    page.top = top;
    return page;
}

TEST(RasterPlacement, ThePagePartInThePrintableArea) {
    const RECTL printable{100, 100, 5000, 6500};  // letter at 600 dpi, 1/6 inch margins
    const struct {
        const char* name;
        RasterPageHeader page;
        std::optional<RasterPlacement> expected;
    } cases[] = {
        {"whole paper, device resolution", PageOf(5100, 6600, 600),
         RasterPlacement{{100, 100, 5000, 6500}, {100, 100, 5000, 6500}, false}},
        {"imageable area only", PageOf(4900, 6400, 600, 12, 12),
         RasterPlacement{{0, 0, 4900, 6400}, {100, 100, 5000, 6500}, false}},
        {"half the resolution", PageOf(2550, 3300, 300),
         RasterPlacement{{50, 50, 2500, 3250}, {100, 100, 5000, 6500}, true}},
        {"a third, past the printable edge", PageOf(1700, 2200, 200),
         RasterPlacement{{33, 33, 1667, 2167}, {99, 99, 5001, 6501}, true}},
        {"smaller than the margin", PageOf(50, 50, 600), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto placement = PlaceRasterPage(c.page, printable, 600);
        ASSERT_EQ(placement.has_value(), c.expected.has_value());
        if (!placement) continue;
        const auto same = [](const RECTL& a, const RECTL& b) {
            return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
        };
        EXPECT_TRUE(same(placement->keep, c.expected->keep))
            << placement->keep.left << " " << placement->keep.top << " " << placement->keep.right
            << " " << placement->keep.bottom;
        EXPECT_TRUE(same(placement->destination, c.expected->destination))
            << placement->destination.left << " " << placement->destination.right;
        EXPECT_EQ(placement->scaled, c.expected->scaled);
    }
}

}  // namespace
}  // namespace xlcups
