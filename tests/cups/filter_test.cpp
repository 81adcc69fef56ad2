// xlrender-cups run as CUPS runs a filter: arguments, environment, the input
// as a file or on standard input; the job on standard output read back with
// xlrender dump.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/cups_raster.h"
#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using xltest::RunProgram;
using xltest::RunSetup;
using xltest::TempDir;

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

std::string AsText(const xltest::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class FilterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto made = RunProgram("xlrender", {"ppd", "-o", ppd()});
        ASSERT_EQ(made.exitStatus, 0) << made.err;
        jpeg_ = xltest::EncodeJpeg(xltest::PhotoLikeRgb(64, 48));
        xltest::WriteFile(dir_ / "photo.jpg", jpeg_);
    }
    std::string ppd() const { return dir_ / "q.ppd"; }

    // Runs the filter with `args` after the job id and user; `input` on
    // standard input when there is no file argument.
    xltest::CommandResult Filter(std::vector<std::string> args,
                                 std::optional<std::string> input = std::nullopt,
                                 std::vector<std::string> environment = {}) {
        args.insert(args.begin(), {"7", "alice"});
        environment.push_back("PPD=" + ppd());
        environment.push_back("TMPDIR=" + std::string(dir_ / ""));
        return RunProgram("xlrender-cups", args, RunSetup{"", environment, input});
    }

    // The dump of a job the filter wrote, which must read back without an error.
    std::string Dump(const std::string& job) {
        const std::string path = dir_ / "job.prn";
        xltest::WriteFile(path,
                          std::span(reinterpret_cast<const uint8_t*>(job.data()), job.size()));
        const auto dumped = RunProgram("xlrender", {"dump", path});
        EXPECT_EQ(dumped.exitStatus, 0) << dumped.err;
        return dumped.out;
    }

    TempDir dir_;
    xltest::Bytes jpeg_;
};

// The photo as JPEG on every page, collated copies played again with a blank
// page after an odd count on two-sided paper, uncollated ones counted by the
// printer; raster pages arrive on a pipe and are kept to be played again.
TEST_F(FilterTest, JobsReadBackWithTheirCopiesAndSides) {
    xltest::RasterPageSpec page;
    page.width = 170;  // Letter at 20 dpi
    page.height = 220;
    page.xDpi = page.yDpi = 20;
    const std::string raster = xltest::MakeRaster({page, page});
    const std::string photo = dir_ / "photo.jpg";
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::optional<std::string> input;
        size_t pages, images;
        const char* endPage;
        const char* duplex;
    } cases[] = {
        {"JPEG, collated two-sided",
         {"Holiday", "2", "sides=two-sided-long-edge Collate=True", photo},
         std::nullopt,
         3,
         2,
         "EndPage PageCopies=1",
         "DuplexPageMode=eDuplexVerticalBinding"},
        {"JPEG on a pipe, uncollated",
         {"Holiday", "3", "collate=false"},
         AsText(jpeg_),
         1,
         1,
         "EndPage PageCopies=3",
         "SimplexPageMode"},
        {"PNG on a pipe",
         {"t", "1", ""},
         AsText(xltest::EncodeRgbPng(xltest::PhotoLikeRgb(40, 60))),
         1,
         1,
         "EndPage PageCopies=1",
         "SimplexPageMode=eSimplexFrontSide"},
        {"raster on a pipe, collated short-edge",
         {"t", "2", "sides=two-sided-short-edge"},
         raster,
         4,
         4,
         "EndPage PageCopies=1",
         "DuplexPageMode=eDuplexHorizontalBinding"},
        {"raster on a pipe, uncollated",
         {"t", "2", "Collate=False"},
         raster,
         2,
         2,
         "EndPage PageCopies=2",
         "SimplexPageMode"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = Filter(c.args, c.input);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(Count(run.err, "ERROR:"), 0u) << run.err;
        const std::string dump = Dump(run.out);
        EXPECT_EQ(Count(dump, "BeginPage"), c.pages) << dump;
        EXPECT_EQ(Count(dump, "ReadImage"), c.images) << dump;
        EXPECT_EQ(Count(dump, c.endPage), c.pages) << dump;
        EXPECT_EQ(Count(dump, c.duplex), c.pages) << dump;
        // Photographs as JPEG; what else goes so is the plug-in's choice.
        if (std::string_view(c.name).starts_with("JPEG")) {
            EXPECT_EQ(Count(dump, "eJPEGCompression"), c.images);
        }
        EXPECT_NE(run.err.find("PAGE: 1 " + c.args[1]), std::string::npos) << run.err;
    }
}

TEST_F(FilterTest, OptionsItDoesNotKnowAreIgnoredAndSaid) {
    const auto run = Filter({"t", "1", "frobnicate=3", dir_ / "photo.jpg"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.err.find("INFO: ignoring option frobnicate\n"), std::string::npos) << run.err;
    EXPECT_FALSE(run.out.empty());
}

// Every failure is one ERROR line and exit status 1, with nothing on standard
// output for the printer to take as a job.
TEST_F(FilterTest, FailuresWriteNothing) {
    xltest::RasterPageSpec page;
    page.width = page.height = 200;
    const std::string whole = xltest::MakeRaster({page});
    const std::string cut = whole.substr(0, whole.size() - 40);
    xltest::Bytes damaged(jpeg_.begin(), jpeg_.begin() + jpeg_.size() / 2);
    xltest::WriteFile(dir_ / "damaged.jpg", damaged);
    const std::string photo = dir_ / "photo.jpg";
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::optional<std::string> input;
        std::vector<std::string> environment;
        const char* error;
    } cases[] = {
        {"bad option", {"t", "1", "sides=sideways", photo}, {}, {}, "option sides='sideways'"},
        {"PPD choice it lacks", {"t", "1", "InputSlot=Tray9", photo}, {}, {}, "InputSlot='Tray9'"},
        {"damaged JPEG", {"t", "1", "", dir_ / "damaged.jpg"}, {}, {}, "JPEG"},
        {"not an image", {"t", "1", ""}, std::string("%PDF-1.7\n"), {}, "neither JPEG, PNG"},
        {"cut raster", {"t", "2", ""}, cut, {}, "raster page 1: the data ends"},
        {"no file", {"t", "1", "", dir_ / "none.jpg"}, {}, {}, "cannot open"},
        {"no copies", {"t", "0", "", photo}, {}, {}, "copies must be a number"},
        {"too few arguments", {"t"}, {}, {}, "usage: xlrender-cups"},
        {"missing PPD", {"t", "1", "", photo}, {}, {"PPD=/nowhere/q.ppd"}, "/nowhere/q.ppd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = Filter(c.args, c.input, c.environment);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(Count(run.err, "ERROR: "), 1u) << run.err;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
}

}  // namespace
