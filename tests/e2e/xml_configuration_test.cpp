// A printer whose description names an XML configuration file, run as a user
// runs xlrender: configured callbacks reach the job, emulated margins change
// the device, and `features` says which commands come from the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/run_command.h"
#include "support/test_images.h"

namespace {

using xltest::RunProgram;
using xltest::TempDir;

std::string Example(const std::string& name) {
    const char* source = std::getenv("XLRENDER_SOURCE");
    return std::string(source != nullptr ? source : ".") + "/examples/" + name;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The value after `name` on its line of a `features --state` report.
std::string ReportValue(const std::string& report, const std::string& name) {
    const size_t at = report.find("\n  " + name + " ");
    if (at == std::string::npos) return "";
    const size_t end = report.find('\n', at + 1);
    std::string line = report.substr(at + 3 + name.size(), end - at - 3 - name.size());
    return line.substr(line.find_first_not_of(' '));
}

class XmlConfigurationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xltest::WriteFile(dir / "page.ppm", xltest::EncodePpm(xltest::PhotoLikeRgb(64, 48)));
    }
    TempDir dir;
};

TEST_F(XmlConfigurationTest, ConfiguredCallbacksWriteTheirExpandedCommands) {
    const auto printed =
        RunProgram("xlrender", {"print", "--printer", Example("configured-laser.gpd"),
                                dir / "page.ppm", "-o", dir / "job.prn"});
    ASSERT_EQ(printed.exitStatus, 0) << printed.err;
    const auto dumped = RunProgram("xlrender", {"dump", dir / "job.prn"});
    ASSERT_EQ(dumped.exitStatus, 0) << dumped.err;
    // Callback 40 is a macro of two macros, callback 41 an expression of the
    // resolution; both come between the job line and the resolution option.
    const std::string& job = dumped.out;
    const size_t economode = job.find("@PJL SET ECONOMODE=OFF\n");
    const size_t density = job.find("@PJL SET DENSITY=3\n");
    const size_t comment = job.find("@PJL COMMENT RESOLUTION 600\n");
    ASSERT_NE(economode, std::string::npos) << job;
    EXPECT_LT(job.find("@PJL JOB\n"), economode);
    EXPECT_LT(economode, density);
    EXPECT_LT(density, comment);
    EXPECT_LT(comment, job.find("@PJL SET RESOLUTION=600"));
    EXPECT_NE(job.find("EndPage PageCopies=1"), std::string::npos);
}

TEST_F(XmlConfigurationTest, EmulatedMarginsChangeThePrintableArea) {
    auto state = [](const std::string& emulate) {
        const auto run =
            RunProgram("xlrender", {"features", "--printer", Example("configured-laser.gpd"),
                                    "--set", "KXEmulateTarnlowMargins=" + emulate, "--state"});
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        return run.out;
    };
    // Letter at 600 dpi: the description's origin is 1/6 inch (100 pixels); the
    // configuration's margins are 1/4 inch (150 pixels) on every side.
    const std::string emulated = state("TRUE");
    EXPECT_EQ(ReportValue(emulated, "emulateMargins"), "1");
    EXPECT_EQ(ReportValue(emulated, "ulHorzRes"), "4900 -> 4800");
    EXPECT_EQ(ReportValue(emulated, "marginX"), "200");
    EXPECT_EQ(ReportValue(emulated, "printableWidth"), "4700");
    const std::string plain = state("FALSE");
    EXPECT_EQ(ReportValue(plain, "ulHorzRes"), "4900");  // unchanged
    EXPECT_EQ(ReportValue(plain, "marginX"), "100");
    EXPECT_EQ(ReportValue(plain, "printableWidth"), "4900");
}

TEST_F(XmlConfigurationTest, FeaturesShowWhichCommandsComeFromTheFile) {
    const auto run = RunProgram(
        "xlrender", {"features", "--printer", Example("configured-laser.gpd"), "--commands"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("callback 40 from configured-laser.xml: =JobDefaults\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("callback 1\n"), std::string::npos) << "the plug-in's own";
}

// A description whose XML file is not beside it is refused with a clear
// message; a file whose command cannot be expanded leaves that command out.
TEST_F(XmlConfigurationTest, MissingFilesAndBadCommands) {
    WriteText(dir / "laser.gpd", ReadText(Example("configured-laser.gpd")));
    auto print = [&] {
        return RunProgram("xlrender", {"print", "--printer", dir / "laser.gpd", dir / "page.ppm",
                                       "-o", dir / "job.prn"});
    };
    auto failed = print();
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_NE(failed.err.find("configured-laser.xml"), std::string::npos) << failed.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "job.prn"));

    std::string xml = ReadText(Example("configured-laser.xml"));
    const std::string good = "=EconoMode&lt;0A=Density&lt;0A";
    ASSERT_NE(xml.find(good), std::string::npos);
    xml.replace(xml.find(good), good.size(), "=EconoMode&lt;0A=JobDefaults");  // names itself
    WriteText(dir / "configured-laser.xml", xml);
    const auto printed = print();
    ASSERT_EQ(printed.exitStatus, 0) << printed.err;
    const auto dumped = RunProgram("xlrender", {"dump", dir / "job.prn"});
    ASSERT_EQ(dumped.exitStatus, 0) << dumped.err;
    EXPECT_EQ(dumped.out.find("ECONOMODE"), std::string::npos) << dumped.out;
    EXPECT_NE(dumped.out.find("@PJL COMMENT RESOLUTION 600"), std::string::npos);
}

}  // namespace
