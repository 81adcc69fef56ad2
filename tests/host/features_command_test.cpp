// xlrender features, run as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FeaturesCommandTest : public testing::Test {
  protected:
    void SetUp() override {
        const char* bin = std::getenv("XLRENDER_BIN");
        if (bin == nullptr) GTEST_SKIP() << "XLRENDER_BIN is not set";
        xlrender_ = std::filesystem::path(bin) / "xlrender";
        char pattern[] = "/tmp/xlrender-features-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }

    void TearDown() override {
        if (!directory_.empty()) std::filesystem::remove_all(directory_);
    }

    CommandRun Xlrender(const std::string& arguments) {
        const auto out = directory_ / "out.txt";
        const auto err = directory_ / "err.txt";
        const std::string command = "'" + xlrender_.string() + "' features " + arguments + " >'" +
                                    out.string() + "' 2>'" + err.string() + "'";
        CommandRun run;
        const int status = std::system(command.c_str());
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadAll(out);
        run.err = ReadAll(err);
        return run;
    }

    std::filesystem::path Write(const std::string& name, const std::string& text) {
        const auto path = directory_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path xlrender_;
    std::filesystem::path directory_;
};

TEST_F(FeaturesCommandTest, ListsTheBuiltInDescription) {
    const CommandRun run = Xlrender("");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const size_t line = run.out.find("\nJPEGEnable ");
    ASSERT_NE(line, std::string::npos) << run.out;
    const std::string jpeg = run.out.substr(line + 1, run.out.find('\n', line + 1) - line - 1);
    EXPECT_NE(jpeg.find(" Maximum "), std::string::npos) << jpeg;
    EXPECT_NE(jpeg.find("Auto Best Maximum"), std::string::npos) << jpeg;
}

TEST_F(FeaturesCommandTest, SetChangesTheCurrentOptionOrFails) {
    CommandRun run = Xlrender("--set JPEGEnable=Auto --commands");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Auto (set)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("CmdStartPage                       \"<43>\""), std::string::npos)
        << run.out;

    run = Xlrender("--set NoSuchFeature=X");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("NoSuchFeature"), std::string::npos) << run.err;
    run = Xlrender("--set JPEGEnable=Fastest");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Fastest"), std::string::npos) << run.err;
}

TEST_F(FeaturesCommandTest, ReadsDescriptionFiles) {
    const char* source = std::getenv("XLRENDER_SOURCE");
    ASSERT_NE(source, nullptr);
    CommandRun run =
        Xlrender(std::string("--printer '") + source + "/examples/generic-color-laser.gpd'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no warnings
    EXPECT_NE(run.out.find("KXPDLType"), std::string::npos);

    const auto warned = Write(
        "warned.gpd", "*PrinterType: PAGE\n*Feature: F { *DefaultOption: A *Option: A { } }\n");
    run = Xlrender("--printer '" + warned.string() + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("warning: " + warned.string() + ":1: *PrinterType"), std::string::npos)
        << run.err;

    const auto broken = Write("broken.gpd", "*Feature: F\n{\n  *Option: A {\n");
    run = Xlrender("--printer '" + broken.string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(broken.string() + ":3: "), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = Xlrender("--printer '" + (directory_ / "missing.gpd").string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("missing.gpd"), std::string::npos) << run.err;
}

}  // namespace
