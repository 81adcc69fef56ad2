// xlrender plugin-info and devmode, run as a user runs them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using xltest::Bytes;
using xltest::RunProgram;
using xltest::TempDir;

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(PluginInfoCommand, ShowsSignatureVersionsAndMethods) {
    const auto result = RunProgram("xlrender", {"plugin-info"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("signature          0x4B585549"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("interface version  0x00010000"), std::string::npos);
    EXPECT_NE(result.out.find("version            0x00010014"), std::string::npos);
    EXPECT_NE(result.out.find("SendFontCmd              S_OK"), std::string::npos);
    EXPECT_NE(result.out.find("DownloadFontHeader       S_FALSE"), std::string::npos);
}

TEST(PluginInfoCommand, MissingModuleIsAnError) {
    const auto result =
        RunProgram("xlrender", {"plugin-info", "--module", "/nonexistent/libxlrender.so"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("cannot load"), std::string::npos) << result.err;
}

TEST(DevModeCommand, NewThenShowPrintsTheDefaults) {
    TempDir dir;
    auto made = RunProgram("xlrender", {"devmode", "new", "-o", dir / "dm.bin", "--paper", "a4",
                                        "--copies", "2", "--duplex", "long", "--country", "49"});
    ASSERT_EQ(made.exitStatus, 0) << made.err;
    EXPECT_EQ(ReadBytes(dir / "dm.bin").size(), 7180u);
    const auto shown = RunProgram("xlrender", {"devmode", "show", dir / "dm.bin"});
    ASSERT_EQ(shown.exitStatus, 0) << shown.err;
    for (const char* expected :
         {"size       7180", "signature  0x4B585549", "version    0x00010014",
          "13840 bytes inflated", "copies                     2", "duplex                     2",
          "paperSize                  9", "paperRegion                1",
          "formName                   \"A4\""}) {
        EXPECT_NE(shown.out.find(expected), std::string::npos) << expected << "\n" << shown.out;
    }
}

TEST(DevModeCommand, MergeRecordsTheUserAndTheOptions) {
    TempDir dir;
    ASSERT_EQ(RunProgram("xlrender", {"devmode", "new", "-o", dir / "dm.bin"}).exitStatus, 0);
    const auto merged =
        RunProgram("xlrender", {"devmode", "merge", dir / "dm.bin", "-o", dir / "m.bin", "--user",
                                "someone", "--copies", "4"});
    ASSERT_EQ(merged.exitStatus, 0) << merged.err;
    const auto shown = RunProgram("xlrender", {"devmode", "show", dir / "m.bin"});
    EXPECT_NE(shown.out.find("retentionUserName          \"SOMEONE\""), std::string::npos)
        << shown.out;
    EXPECT_NE(shown.out.find("copies                     4"), std::string::npos);
}

TEST(DevModeCommand, BadBlocksAreNamedAndExitOne) {
    TempDir dir;
    ASSERT_EQ(RunProgram("xlrender", {"devmode", "new", "-o", dir / "dm.bin"}).exitStatus, 0);
    const Bytes good = ReadBytes(dir / "dm.bin");
    struct Case {
        const char* what;
        Bytes bytes;
        const char* message;
    };
    Bytes badSignature = good;
    badSignature[4] = 'X';
    Bytes badSizeWord = good;
    badSizeWord[0] = 0;
    Bytes corrupt = good;
    for (size_t i = 20; i < 60; ++i) corrupt[i] = static_cast<uint8_t>(i);
    const Case cases[] = {
        {"short file", Bytes(good.begin(), good.begin() + 100), "is 100 bytes"},
        {"long file", Bytes(9000, 0), "larger than a packed block"},
        {"signature", badSignature, "signature"},
        {"size word", badSizeWord, "size word"},
        {"stream", corrupt, "corrupt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        xltest::WriteFile(dir / "bad.bin", c.bytes);
        const auto result = RunProgram("xlrender", {"devmode", "show", dir / "bad.bin"});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    const auto missing = RunProgram("xlrender", {"devmode", "show", dir / "none.bin"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
}

TEST(DevModeCommand, UsageErrorsExitOneAndHelpExitsZero) {
    const std::vector<std::vector<std::string>> bad = {
        {"devmode"},
        {"devmode", "frobnicate"},
        {"devmode", "new", "--paper", "napkin"},
        {"devmode", "merge", "x.bin"},
        {"devmode", "new", "--bogus"},
        {"nonsense"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args.back());
        EXPECT_EQ(RunProgram("xlrender", args).exitStatus, 1);
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                                 {"plugin-info", "--help"},
                                                 {"devmode", "--help"},
                                                 {"devmode", "new", "--help"},
                                                 {"devmode", "show", "--help"},
                                                 {"devmode", "merge", "--help"}}) {
        const auto result = RunProgram("xlrender", args);
        EXPECT_EQ(result.exitStatus, 0) << args.back();
        EXPECT_NE(result.out.find("usage"), std::string::npos);
    }
}

}  // namespace
