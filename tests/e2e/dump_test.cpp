// xlrender dump end to end: jobs written with the stream writer, read back by
// the built command; malformed jobs end with status 0 or 1, never with a crash.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pclxl/capture.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using namespace xlr;
using xltest::Bytes;

struct DumpRun {
    int status = -1;  // exit status, or -1 when the command did not exit normally
    std::string output;
};

class DumpTest : public testing::Test {
  protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        xltest::WriteFile(dir_ / name, bytes);
        return dir_ / name;
    }

    // Runs `xlrender dump ARGS...`; its standard error follows its output.
    DumpRun Dump(std::vector<std::string> args) {
        args.insert(args.begin(), "dump");
        const xltest::CommandResult result = xltest::RunProgram("xlrender", args);
        return {result.exitStatus, result.out + result.err};
    }

    xltest::TempDir dir_;
};

Bytes ToBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes kUel = ToBytes("\x1B%-12345X");
const Bytes kHeader = ToBytes(") HP-PCL XL;2;0;test\n");
// Descriptor: format 0, portrait, symbol set 590, TrueType, 1 character; PA
// segment of 2 bytes; NULL segment.
const Bytes kFontHeader = {0, 0, 0x02, 0x4E, 1,    0,    0,    1, 'P', 'A', 0,
                           0, 0, 2,    0x12, 0x34, 0xFF, 0xFF, 0, 0,   0,   0};

Bytes PageStream(const Bytes& jpeg) {
    xltest::Capture capture;
    XLStream* s = xltest::CaptureStream(capture);
    const uint8_t font[] = {'W', 'M', '/', '1'};
    const uint8_t glyph[] = {1, 0, 0, 0, 0, 0};
    XLBeginFontHeader(s, font, 4, 0);
    XLReadFontHeader(s, static_cast<uint32_t>(kFontHeader.size()));
    XLPutEmbeddedData(s, kFontHeader.data(), static_cast<uint32_t>(kFontHeader.size()));
    XLEndFontHeader(s);
    XLBeginChar(s, font, 4);
    XLReadChar(s, 65, sizeof glyph);
    XLPutEmbeddedData(s, glyph, sizeof glyph);
    XLEndChar(s);
    XLSetColorSpace(s, 2);
    XLBeginImage(s, 0, 2, 16, 8, 160, 80);
    XLReadImage(s, 0, 8, 2);
    XLPutDataLength(s, static_cast<uint32_t>(jpeg.size()));
    XLPutRawBytes(s, jpeg.data(), static_cast<uint32_t>(jpeg.size()));
    XLStreamFlush(s);
    XLEndImage(s);
    const uint8_t text[] = {'O', 'K'};
    XLText(s, text, 2, nullptr, 0);
    XLEndPage(s, 2);
    XLStreamDestroy(s);
    return capture.output;
}

Bytes SampleJob(const Bytes& jpeg) {
    return Concat({kUel, ToBytes("@PJL JOB NAME=\"t\"\r\n@PJL ENTER LANGUAGE=PCLXL\r\n"), kHeader,
                   PageStream(jpeg), kUel, ToBytes("@PJL EOJ\r\n"), kUel});
}

// The offsets of the listing and of a read error count from the start of the file.
TEST_F(DumpTest, OffsetsInTheListingAndInErrors) {
    const Bytes header = ToBytes(") HP-PCL XL;2;0\n");
    const struct {
        Bytes stream;
        int status;
        const char* expected;
    } cases[] = {
        {{0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44}, 0, "      16  EndPage PageCopies=1\n"},
        {{0xC1, 0x01}, 1, "malformed PCL XL at byte 16"},
    };
    for (const auto& c : cases) {
        const DumpRun run = Dump({Write("job.prn", Concat({header, c.stream}))});
        EXPECT_EQ(run.status, c.status) << run.output;
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << run.output;
    }
}

// Attributes that our writer does not write, as other producers write them;
// per-object values are named by their operator (the vocabulary itself is
// tested with the reader).
TEST_F(DumpTest, ReadsWhatOtherProducersWrite) {
    const struct {
        Bytes stream;
        const char* line;
    } cases[] = {
        // real32 0.5, Lightness (0x0A); real32 -0.25, Saturation (0x10); SetBrushSource.
        {{0xC5, 0x00, 0x00, 0x00, 0x3F, 0xF8, 0x0A, 0xC5, 0x00, 0x00, 0x80, 0xBE, 0xF8, 0x10, 0x63},
         "SetBrushSource Lightness=0.5 Saturation=-0.25"},
        // uint32 vendor code for 0x91, ubyte 1 VUAttr1, ubyte 6 VUAttr6; VendorUnique.
        {{0xC2, 0x00, 0x21, 0x78, 0x6B, 0xF8, 0x91, 0xC0, 0x01, 0xF8, 0x93, 0xC0, 0x06, 0xF8, 0x98,
          0x46},
         "VendorUnique Attribute0x91=1803034880 VUAttr1=1 VUAttr6=6"},
        // ubyte 1, AllObjectTypes; SetNeutralAxis.
        {{0xC0, 0x01, 0xF8, 0x1D, 0x7E}, "SetNeutralAxis AllObjectTypes=eProcessBlack"},
    };
    for (const auto& c : cases) {
        const DumpRun run = Dump({Write("job.prn", Concat({kHeader, c.stream}))});
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
    }
}

TEST_F(DumpTest, ListsSummarisesAndExtractsAWholeJob) {
    const Bytes jpeg = xltest::EncodeJpeg(xltest::PhotoLikeRgb(16, 8));
    const Bytes job = SampleJob(jpeg);
    const std::string path = Write("job.prn", job);
    const DumpRun run = Dump({path});
    ASSERT_EQ(run.status, 0) << run.output;
    for (const char* expected : {
             "       0  UEL (ESC %-12345X)\n",
             "       9  @PJL JOB NAME=\"t\"\n",
             "stream header \") HP-PCL XL;2;0;test\" (low byte first, class 2, revision 0)\n",
             "BeginFontHeader FontName=\"WM/1\" FontFormat=0\n",
             "font header \"WM/1\": 22 bytes, format 0, TrueType, symbol set 590, 1 characters; "
             "segments PA 2, NULL 0\n",
             "ReadChar CharCode=65 CharDataSize=6\n",
             "data 6 bytes, character data, TrueType class 0\n",
             "SetColorSpace ColorSpace=eRGB\n",
             "BeginImage ColorMapping=eDirectPixel ColorDepth=e8Bit SourceWidth=16 SourceHeight=8 "
             "DestinationSize=(160, 80)\n",
             "ReadImage StartLine=0 BlockHeight=8 CompressMode=eJPEGCompression\n",
             "JPEG 16x8, 3 components\n",
             "Text TextData=\"OK\" XSpacingData=[]\n",
             "EndPage PageCopies=2\n",
             "@PJL EOJ\n",
         })
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;

    const std::string out = dir_ / "out";
    const DumpRun summary = Dump({"--summary", "--extract", out, path});
    ASSERT_EQ(summary.status, 0) << summary.output;
    for (const std::string& expected : {
             std::string("pages            1 (copies 2)\n"),
             std::string(
                 "  1  page 1  16x8 to (160, 80), eRGB eDirectPixel e8Bit, eJPEGCompression, ") +
                 std::to_string(jpeg.size()) + " bytes in 1 blocks\n",
             std::string("  \"WM/1\"  header 22 bytes, 1 characters (6 bytes)\n"),
             std::string("  image data                 ") + std::to_string(jpeg.size()) + "\n",
             std::string("  total                      ") + std::to_string(job.size()) + "\n",
         })
        EXPECT_NE(summary.output.find(expected), std::string::npos) << expected << "\n"
                                                                    << summary.output;
    std::ifstream image(out + "/image-001.jpg", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(image), {}), jpeg);
    std::ifstream header(out + "/font-001-WM_1.hdr", std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(header), {}), kFontHeader);
}

// Random bytes go through the same walker in the job-walker fuzz target.
TEST_F(DumpTest, CutJobsEndWithStatusZeroOrOne) {
    const Bytes job = SampleJob(xltest::EncodeJpeg(xltest::PhotoLikeRgb(8, 8)));
    for (size_t cut = 1; cut < job.size(); cut += job.size() / 40) {
        const DumpRun run = Dump(
            {Write("cut.prn", Bytes(job.begin(), job.begin() + static_cast<std::ptrdiff_t>(cut)))});
        EXPECT_TRUE(run.status == 0 || run.status == 1) << cut << "\n" << run.output;
        if (run.status == 1) {
            EXPECT_NE(run.output.find("at byte"), std::string::npos);
        }
    }
}

TEST_F(DumpTest, RefusesBadArguments) {
    EXPECT_EQ(Dump({}).status, 1);
    EXPECT_EQ(Dump({dir_ / "missing.prn"}).status, 1);
    EXPECT_EQ(Dump({"--bogus", "x"}).status, 1);
    const DumpRun help = Dump({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--extract DIR"), std::string::npos);
}

}  // namespace
