// xlrender dump on jobs that another PCL XL producer made: Ghostscript's
// pxlcolor and pxlmono devices print a PostScript page with text, paths and an
// image, with the options that change what they write (compression, duplex,
// paper). Every job must be listed and summarised without an error.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/run_command.h"

namespace {

// Text (a downloaded bitmap font), a filled and a stroked curved path, and an
// 8 x 8 colour image scaled up, all inside the smallest paper used below.
constexpr const char* kPage = R"(%!PS
/Helvetica findfont 24 scalefont setfont
72 460 moveto (Peer stream) show
0.2 0.4 0.8 setrgbcolor
72 360 moveto 300 360 lineto 300 440 lineto closepath fill
1 0 0 setrgbcolor 3 setlinewidth
72 320 moveto 150 380 250 260 320 320 curveto stroke
gsave 72 100 translate 144 144 scale
8 8 8 [8 0 0 -8 0 8]
<ff0000ff8000ffff0000ff0000ffff0000ff8000ff00ffff0000ff8000ffff0000ff0000ffff0000ff8000ff00ff
 ff0000ff8000ffff0000ff0000ffff0000ff8000ff00ffff0000ff8000ffff0000ff0000ffff0000ff8000ff00ff
 ff0000ff8000ffff0000ff0000ffff0000ff8000ff00ffff0000ff8000ffff0000ff0000ffff0000ff8000ff00ff
 ff0000ff8000ffff0000ff0000ffff0000ff8000ff00ffff0000ff8000ffff0000ff0000ffff0000ff8000ff00ff>
false 3 colorimage grestore
showpage
)";

struct PeerCase {
    const char* device;
    std::vector<std::string> options;
    const char* expected;  // a part of the listing that this case brings
};

TEST(PeerStreams, GhostscriptJobsAreListedAndSummarised) {
    xltest::TempDir dir;
    const std::string page = dir / "page.ps";
    std::ofstream(page) << kPage;

    const PeerCase kCases[] = {
        {"pxlcolor", {}, "SetBrushSource RGBColor=[51 102 204]"},
        {"pxlmono", {}, "ColorSpace=eGray"},
        {"pxlcolor", {"-dCompressMode=3"}, "CompressMode=eDeltaRowCompression"},
        {"pxlmono", {"-dCompressMode=2"}, "CompressMode=eJPEGCompression"},
        {"pxlcolor", {"-dDuplex", "-dTumble"}, "DuplexPageMode=eDuplexHorizontalBinding"},
        {"pxlmono", {"-sPAPERSIZE=jisb5"}, "MediaSize=eB5Paper"},
        {"pxlcolor", {"-dNumCopies=2", "-dManualFeed"}, "EndPage PageCopies=2"},
    };
    for (const PeerCase& test : kCases) {
        const std::string what =
            std::string(test.device) + " " + (test.options.empty() ? "" : test.options.front());
        const std::string job = dir / "job.pxl";
        std::vector<std::string> args = {"-q",
                                         "-dSAFER",
                                         "-dBATCH",
                                         "-dNOPAUSE",
                                         "-r300",
                                         "-sDEVICE=" + std::string(test.device),
                                         "-sOutputFile=" + job};
        args.insert(args.end(), test.options.begin(), test.options.end());
        args.push_back(page);
        const xltest::CommandResult gs = xltest::RunOnPath("gs", args);
        ASSERT_EQ(gs.exitStatus, 0)
            << "Ghostscript (Debian's ghostscript package) must run: " << what << "\n"
            << gs.err;

        const xltest::CommandResult listing = xltest::RunProgram("xlrender", {"dump", job});
        EXPECT_EQ(listing.exitStatus, 0) << what << "\n" << listing.out << listing.err;
        for (const char* part : {"BeginSession", "BeginChar", "Text TextData=", "BezierPath",
                                 "BeginImage", "PageCopies=", "EndSession", test.expected})
            EXPECT_NE(listing.out.find(part), std::string::npos) << what << ": " << part;

        const xltest::CommandResult summary =
            xltest::RunProgram("xlrender", {"dump", "--summary", job});
        EXPECT_EQ(summary.exitStatus, 0) << what << "\n" << summary.err;
        EXPECT_NE(summary.out.find("images           1"), std::string::npos) << what << "\n"
                                                                             << summary.out;
    }
}

}  // namespace
