// xlrender print, run as a user runs it, and its output read back with
// xlrender dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "fonts/font_builder.h"
#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using xltest::RunProgram;
using xltest::TempDir;

size_t Count(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The dump of a job, which must read back without an error.
std::string Dump(const std::string& job) {
    const auto dumped = RunProgram("xlrender", {"dump", job});
    EXPECT_EQ(dumped.exitStatus, 0) << dumped.err;
    return dumped.out;
}

class PrintCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        xltest::WriteFile(dir / "a.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(64, 48)));
        xltest::WriteFile(dir / "b.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(48, 64)));
    }
    TempDir dir;
};

// Collated copies: a raw job is sent again whole by the plug-in; an EMF-spooled
// one is played again by the print processor. Uncollated copies are made by the
// printer. Either way six pages print, and the usage record says so. Drive C
// lies in a directory whose name the ANSI code page cannot spell, where the
// capture file must still work and go.
TEST_F(PrintCommand, CopiesInBothSpoolingModes) {
    const struct {
        const char* spooling;  // the job's data type
        const char* collation;
        size_t jobs;
        const char* endPage;
        size_t endPages;
    } cases[] = {
        {"RAW", "--collate", 3, "EndPage PageCopies=1", 6},  // two pages, each job three times
        {"RAW", "--no-collate", 1, "EndPage PageCopies=3", 2},
        {"EMF", "--collate", 1, "EndPage PageCopies=1", 6},  // one job, the pages three times
        {"EMF", "--no-collate", 1, "EndPage PageCopies=3", 2},
    };
    const std::string root = dir /
                             "Dr\xC3\xBC"
                             "cker \xE6\x97\xA5\xE6\x9C\xAC";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.spooling) + " " + c.collation);
        std::vector<std::string> args = {"print",     dir / "a.ppm", dir / "b.ppm",  "--copies",
                                         "3",         c.collation,   "--root",       root,
                                         "--verbose", "-o",          dir / "job.prn"};
        if (std::string(c.spooling) == "RAW") args.push_back("--raw");
        const auto result = RunProgram("xlrender", args);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_NE(result.err.find("page 2/2"), std::string::npos) << "progress per page";
        EXPECT_NE(result.err.find("pages=6"), std::string::npos) << result.err;
        const std::string dump = Dump(dir / "job.prn");
        EXPECT_EQ(Count(dump, "stream header"), c.jobs) << dump;
        EXPECT_EQ(Count(dump, "@PJL EOJ"), c.jobs);
        EXPECT_EQ(Count(dump, c.endPage), c.endPages);
        EXPECT_EQ(Count(dump, "EndPage"), c.endPages);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            EXPECT_NE(entry.path().filename().string().rfind("KX_", 0), 0u)
                << "left behind: " << entry.path();
    }
}

// Pictures with transparency that the device said it takes as PNG: they are
// put over white and reach the page, not dropped.
TEST_F(PrintCommand, PngSourcesWithTransparencyReachThePage) {
    const std::vector<uint32_t> palette = {0x102030, 0xC08040, 0x40A0F0};
    const struct {
        const char* file;
        xltest::PngSpec spec;
    } cases[] = {
        {"graya.png", {.width = 64, .height = 48, .colorType = 4}},
        {"palette-trns.png",
         {.width = 64, .height = 48, .colorType = 3, .palette = palette, .transparency = true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        xltest::WriteFile(dir / c.file, xltest::EncodePng(c.spec));
        const auto result = RunProgram(
            "xlrender", {"print", dir / c.file, "--pass-through", "-o", dir / "job.prn"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::string dump = Dump(dir / "job.prn");
        EXPECT_EQ(Count(dump, "BeginImage"), 1u) << dump;
        EXPECT_EQ(Count(dump, "EndImage"), 1u);
    }
}

TEST_F(PrintCommand, DefaultOutputIsNamedAfterTheInput) {
    const auto result = RunProgram("xlrender", {"print", dir / "a.ppm"}, dir.path());
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "a.prn"));
    EXPECT_NE(Dump(dir / "a.prn").find("EndPage"), std::string::npos);
}

TEST_F(PrintCommand, BadInputFailsAndLeavesNothingBehind) {
    std::ofstream(dir / "broken.json")
        << R"({"pages": [{"calls": [{"fill": {"rect": [1, 2, 3]}}]}]})";
    std::ofstream(dir / "bad.ppm") << "P6\n64 48\n255\nshort";
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"print", dir / "missing.ppm"}, "cannot read"},
        {{"print", dir / "a.ppm", "--set", "NoSuchFeature=X"}, "NoSuchFeature"},
        {{"print", dir / "a.ppm", "--set", "JPEGEnable=Sometimes"}, "Sometimes"},
        {{"print", dir / "broken.json"}, "pages[0].calls[0]"},
        {{"print", dir / "bad.ppm"}, "bad.ppm"},
        {{"print"}, "no input"},
        {{"print", dir / "a.ppm", "--pages-per-sheet", "3"}, "pages-per-sheet"},
        {{"print", dir / "a.ppm", "--watermark", ""}, "--watermark wants a text"},
        // Device mode options the job options carry are checked like the others.
        {{"print", dir / "a.ppm", "--copies", "many"}, "--copies wants a number"},
        {{"print", dir / "a.ppm", "--duplex", "sideways"}, "unknown --duplex value"},
        {{"print", dir / "a.ppm", "--orientation", "up"}, "unknown --orientation value"},
        {{"print", dir / "a.ppm", "--collate", "--no-collate"}, "contradict"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", dir / "out.prn"});
        const auto result = RunProgram("xlrender", args);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.prn"));
        EXPECT_FALSE(std::filesystem::exists(dir / "out.prn.part"));
    }
}

TEST_F(PrintCommand, ExampleScriptsPrintAndReadBack) {
    const std::string examples = std::string(std::getenv("XLRENDER_SOURCE")) + "/examples";
    for (const char* script : {"photo-page.json", "mixed-page.json", "photo-bands.json"}) {
        SCOPED_TRACE(script);
        const auto result =
            RunProgram("xlrender", {"print", examples + "/" + script, "-o", dir / "job.prn"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::string dump = Dump(dir / "job.prn");
        EXPECT_NE(dump.find("EndPage"), std::string::npos);
        if (std::string(script) != "mixed-page.json") continue;
        // Its red DRAFT watermark on every page.
        EXPECT_EQ(Count(dump, "SetFont FontName=\"DejaVu SansKX_WM\""), Count(dump, "EndPage"));
        EXPECT_EQ(Count(dump, "ReadChar"), 5u);  // D, R, A, F, T
        EXPECT_NE(dump.find("PaletteData=[255 0 0 255 255 255]"), std::string::npos) << "red";
    }
}

// The operator names of a dump, in order, from the first BeginPage to its EndPage.
std::vector<std::string> PageOperators(const std::string& dump) {
    std::vector<std::string> names;
    std::istringstream lines(dump);
    std::string line;
    bool inPage = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string offset, name;
        words >> offset >> name;
        if (name == "BeginPage") inPage = true;
        if (inPage && !name.empty() && std::isupper(static_cast<unsigned char>(name[0])))
            names.push_back(name);
        if (name == "EndPage") break;
    }
    return names;
}

TEST_F(PrintCommand, PhotosGoIntoThePageAsJpeg) {
    const std::string photo = std::string(std::getenv("XLRENDER_SOURCE")) + "/examples/photo.jpg";
    const auto result = RunProgram("xlrender", {"print", photo, "-o", dir / "job.prn"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string dump = Dump(dir / "job.prn");
    const std::vector<std::string> expected = {
        "BeginPage",       "PushGS", "SetClipToPage", "SetCursor",  "SetPaintTxMode",
        "SetSourceTxMode", "SetROP", "SetColorSpace", "BeginImage", "ReadImage",
        "EndImage",        "PopGS",  "EndPage"};
    EXPECT_EQ(PageOperators(dump), expected) << dump;
    EXPECT_NE(dump.find("CompressMode=eJPEGCompression"), std::string::npos);
    EXPECT_NE(dump.find("JPEG 1200x900"), std::string::npos)
        << "the JPEG data, read back by its header";
}

TEST_F(PrintCommand, WithoutTheJpegPathPhotosReachUnidrvAsRasterImages) {
    const std::string photo = std::string(std::getenv("XLRENDER_SOURCE")) + "/examples/photo.jpg";
    for (const char* passThrough : {"", "--pass-through"}) {
        SCOPED_TRACE(passThrough);
        std::vector<std::string> args = {"print",           photo, "--set",
                                         "JPEGEnable=Best", "-o",  dir / "job.prn"};
        if (*passThrough != 0) args.push_back(passThrough);
        const auto result = RunProgram("xlrender", args);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        const std::string dump = Dump(dir / "job.prn");
        EXPECT_EQ(dump.find("eJPEGCompression"), std::string::npos);
        EXPECT_NE(dump.find("BeginImage"), std::string::npos)
            << "the picture still reaches the page";
        EXPECT_NE(dump.find("CompressMode=eNoCompression"), std::string::npos);
    }
}

// Where each name first appears in `names` from `from` on, in the order given;
// names.size() for a name that does not follow.
std::vector<size_t> Positions(const std::vector<std::string>& names,
                              const std::vector<std::string>& wanted, size_t from = 0) {
    std::vector<size_t> at;
    for (const std::string& name : wanted) {
        from = std::find(names.begin() + std::min(from, names.size()), names.end(), name) -
               names.begin();
        at.push_back(from);
    }
    return at;
}

// The watermark goes over the page's content: its TrueType font, a character
// for each letter, then the text in a graphics state of its own, before the
// page ends.
TEST_F(PrintCommand, WatermarkIsDrawnOverThePageWithItsDownloadedFont) {
    const std::string photo = std::string(std::getenv("XLRENDER_SOURCE")) + "/examples/photo.jpg";
    const auto result = RunProgram("xlrender", {"print", photo, "--watermark", "CONFIDENTIAL",
                                                "--verbose", "-o", dir / "job.prn"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("font: \"DejaVu Sans\" 400"), std::string::npos) << result.err;
    const std::string dump = Dump(dir / "job.prn");
    const std::vector<std::string> page = PageOperators(dump);
    const std::vector<std::string> order = {
        "EndImage", "BeginFontHeader", "EndFontHeader", "BeginChar", "ReadChar", "EndChar",
        "PushGS",   "SetFont",         "Text",          "PopGS",     "EndPage"};
    const std::vector<size_t> at = Positions(page, order);
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()) && at.back() < page.size()) << dump;
}

TEST_F(PrintCommand, WatermarkOnEveryLogicalPageOfASheet) {
    const auto result = RunProgram(
        "xlrender", {"print", dir / "a.ppm", dir / "b.ppm", dir / "a.ppm", dir / "b.ppm",
                     "--pages-per-sheet", "4", "--watermark", "DRAFT", "-o", dir / "job.prn"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string dump = Dump(dir / "job.prn");
    EXPECT_EQ(Count(dump, "BeginPage"), 1u);
    EXPECT_EQ(Count(dump, "BeginFontHeader"), 1u) << "the font is sent once";
    EXPECT_EQ(Count(dump, "SetFont"), 4u);
    EXPECT_EQ(Count(dump, "  Text "), 4u);
}

TEST_F(PrintCommand, WatermarkBeyondAsciiGoesByBitmapFont) {
    const auto result = RunProgram("xlrender", {"print", dir / "a.ppm", "--watermark",
                                                "BROUILLON \u00C9", "-o", dir / "job.prn"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string dump = Dump(dir / "job.prn");
    EXPECT_NE(dump.find("BeginFontHeader FontName=\"DejaVu SansKX_WM 0\""), std::string::npos);
    EXPECT_EQ(Count(dump, "  Text "), 11u) << "character by character";
}

// A damaged font that the machine still offers (FreeType loads it) but whose
// tables or glyphs the download cannot send: the page prints, without its
// watermark. The font is installed through a fontconfig file of the test's own.
TEST_F(PrintCommand, DamagedWatermarkFontLeavesThePageWithoutWatermark) {
    std::filesystem::create_directories(dir / "fonts");
    std::ofstream(dir / "fonts.conf")
        << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
           "  <include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
           "  <dir>"
        << dir / "fonts"
        << "</dir>\n  <cachedir>" << dir / "cache"
        << "</cachedir>\n</fontconfig>\n";
    std::ofstream(dir / "job.json")
        << R"({"options": {"watermark": {"text": "DRAFT", "font": "DejaVu Sanz"}},)"
        << R"( "pages": [{"calls": [{"fill": [36, 36, 576, 96], "color": "black"}]}]})";
    const xltest::Bytes font = xltest::ReadFontFile(xltest::DejaVuSansPath());
    ::setenv("FONTCONFIG_FILE", (dir / "fonts.conf").c_str(), 1);
    for (const auto damage : {xltest::FontDamage::TablePastEnd, xltest::FontDamage::LocaPastGlyf}) {
        SCOPED_TRACE(static_cast<int>(damage));
        xltest::WriteRenamedFont(xltest::Damaged(font, damage), "DejaVu Sans", "DejaVu Sanz",
                                 font.size(), dir / "fonts/sanz.ttf");
        std::filesystem::remove_all(dir / "cache");
        const auto result =
            RunProgram("xlrender", {"print", dir / "job.json", "--verbose", "-o", dir / "job.prn"});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_NE(result.err.find("-> DejaVu Sanz"), std::string::npos) << result.err;
        const std::string dump = Dump(dir / "job.prn");
        EXPECT_EQ(Count(dump, "RectanglePath"), 1u) << dump;
        EXPECT_EQ(Count(dump, "EndPage"), 1u);
        EXPECT_EQ(Count(dump, "FontHeader"), 0u);
        EXPECT_EQ(Count(dump, "SetFont"), 0u);
    }
    ::unsetenv("FONTCONFIG_FILE");
}

}  // namespace
