// xlrender features, run as a user runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/run_command.h"

namespace {

class FeaturesCommandTest : public testing::Test {
  protected:
    // Runs `xlrender features ARGS...`.
    static xltest::CommandResult Xlrender(std::vector<std::string> args) {
        args.insert(args.begin(), "features");
        return xltest::RunProgram("xlrender", args);
    }

    std::filesystem::path Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = directory_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    xltest::TempDir directory_;
};

TEST_F(FeaturesCommandTest, ListsTheBuiltInDescription) {
    const xltest::CommandResult run = Xlrender({});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const size_t line = run.out.find("\nJPEGEnable ");
    ASSERT_NE(line, std::string::npos) << run.out;
    const std::string jpeg = run.out.substr(line + 1, run.out.find('\n', line + 1) - line - 1);
    EXPECT_NE(jpeg.find(" Maximum "), std::string::npos) << jpeg;
    EXPECT_NE(jpeg.find("Auto Best Maximum"), std::string::npos) << jpeg;
}

TEST_F(FeaturesCommandTest, SetChangesTheCurrentOptionOrFails) {
    xltest::CommandResult run = Xlrender({"--set", "JPEGEnable=Auto", "--commands"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("Auto (set)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("CmdStartPage                       \"<43>\""), std::string::npos)
        << run.out;

    run = Xlrender({"--set", "JPEGEnable=Fastest"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("Fastest"), std::string::npos) << run.err;
}

TEST_F(FeaturesCommandTest, ReadsDescriptionFiles) {
    const char* source = std::getenv("XLRENDER_SOURCE");
    ASSERT_NE(source, nullptr);
    xltest::CommandResult run =
        Xlrender({"--printer", std::string(source) + "/examples/generic-color-laser.gpd"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no warnings
    EXPECT_NE(run.out.find("KXPDLType"), std::string::npos);

    const auto warned = Write(
        "warned.gpd", "*PrinterType: PAGE\n*Feature: F { *DefaultOption: A *Option: A { } }\n");
    run = Xlrender({"--printer", warned.string()});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.err.find("warning: " + warned.string() + ":1: *PrinterType"), std::string::npos)
        << run.err;

    const auto broken = Write("broken.gpd", "*Feature: F\n{\n  *Option: A {\n");
    run = Xlrender({"--printer", broken.string()});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find(broken.string() + ":3: "), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(FeaturesCommandTest, StateShowsWhatEnablePdevMade) {
    const auto result = Xlrender({"--state"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    for (const char* expected :
         {"device state after EnablePDEV", "jpegMode                   3",
          "pngPassThrough             1", "flGraphicsCaps2            0 -> 8",
          "ulLogPixelsX               600"})
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected << "\n" << result.out;
    const auto best =
        Xlrender({"--state", "--set", "JPEGEnable=Best", "--set", "KXPngPassthrough=FALSE"});
    ASSERT_EQ(best.exitStatus, 0) << best.err;
    EXPECT_NE(best.out.find("jpegMode                   2"), std::string::npos) << best.out;
    EXPECT_NE(best.out.find("flGraphicsCaps2            0\n"), std::string::npos);
}

}  // namespace
