// The PJL job header of printed jobs, read back with xlrender dump: what the
// plug-in's job-control callbacks write and where it stands in the job.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_command.h"

namespace {

using xltest::RunProgram;
using xltest::TempDir;

// The PJL lines of a job before "@PJL ENTER LANGUAGE", without the dump's offsets.
std::vector<std::string> HeaderLines(const std::string& job) {
    const auto dumped = RunProgram("xlrender", {"dump", job});
    EXPECT_EQ(dumped.exitStatus, 0) << dumped.err;
    std::vector<std::string> lines;
    std::istringstream in(dumped.out);
    for (std::string line; std::getline(in, line);) {
        const size_t offset = line.find_first_not_of(' ');
        const size_t text =
            line.find_first_not_of(' ', line.find_first_not_of("0123456789", offset));
        if (offset == std::string::npos || text == std::string::npos) continue;
        const std::string pjl = line.substr(text);
        if (pjl.starts_with("@PJL ENTER LANGUAGE")) return lines;
        if (pjl.starts_with("@PJL")) lines.push_back(pjl);
    }
    ADD_FAILURE() << "no ENTER LANGUAGE in\n" << dumped.out;
    return lines;
}

// The index of the first line that starts with `prefix`, or -1.
int Find(const std::vector<std::string>& lines, const std::string& prefix) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].starts_with(prefix)) return static_cast<int>(i);
    return -1;
}

class JobControl : public ::testing::Test {
  protected:
    std::vector<std::string> Print(const std::string& options,
                                   const std::vector<std::string>& arguments = {}) {
        std::ofstream(dir / "job.json")
            << R"({"options": {)" << options
            << R"(}, "pages": [{"calls": [{"fill": [10, 10, 90, 90]}]}]})";
        std::vector<std::string> args = {"print", dir / "job.json", "-o", dir / "job.prn"};
        args.insert(args.end(), arguments.begin(), arguments.end());
        const auto result = RunProgram("xlrender", args);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return HeaderLines(dir / "job.prn");
    }
    TempDir dir;
};

TEST_F(JobControl, AccountingAndRetentionBeforeTheLanguage) {
    const std::vector<std::string> lines =
        Print(R"("document_name": "Quarterly report",
                 "retention": {"mode": "private", "pin": "0042", "user": "ALICE"},
                 "accounting": {"account_id": "4711", "groups": ["Sales", "Staff"]})",
              {"--set", "KXJobAccounting=KXJOBACCT_JOBACNT_GROUPNAME", "--user", "alice"});
    // In this order, every one before "@PJL ENTER LANGUAGE".
    const char* expected[] = {
        "@PJL JOB NAME=\"Quarterly report\"",
        "@PJL SET STRINGCODESET=UTF8",
        "@PJL COMMENT \"xlrender PCL XL (",
        "@PJL COMMENT \"Username: alice; App Filename: Quarterly report; ",
        "@PJL SET JOBATTR=\"JobAcct1=alice\"",
        "@PJL SET JOBATTR=\"JobAcct2=XLHOST\"",
        "@PJL SET JOBATTR=\"JobAcct3=",
        "@PJL SET JOBATTR=\"JobAcct4=",
        "@PJL SET JOBATTR=\"JobAcct5=",
        "@PJL SET JOBATTR=\"JobAcct7=xlrender.exe\"",
        "@PJL SET JOBATTR=\"JobAcct8=4711\"",
        "@PJL SET GROUP1=\"Sales\"",
        "@PJL SET GROUP2=\"Staff\"",
        "@PJL SET HOLD=ON",
        "@PJL SET HOLDTYPE=PRIVATE",
        "@PJL SET HOLDKEY=\"0042\"",
        "@PJL SET USERNAME=\"ALICE\"",
        "@PJL SET JOBNAME=\"Quarterly report\"",
    };
    int previous = -1;
    for (const char* line : expected) {
        const int at = Find(lines, line);
        EXPECT_GT(at, previous) << line;
        previous = std::max(previous, at);
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "@PJL JOB"), 0) << "the description's own";
}

TEST_F(JobControl, WithoutAccountingTheJobLineIsTheDescriptionsAndCommentsStay) {
    const std::vector<std::string> lines = Print(R"("document_name": "Plain")");
    EXPECT_EQ(Find(lines, "@PJL JOB NAME="), -1);
    EXPECT_EQ(Find(lines, "@PJL SET STRINGCODESET"), -1);
    EXPECT_EQ(Find(lines, "@PJL SET JOBATTR"), -1);
    EXPECT_EQ(Find(lines, "@PJL SET HOLD"), -1) << "the printer has no job storage";
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "@PJL JOB"), 1);
    EXPECT_GE(Find(lines, "@PJL COMMENT \"Username: USER; App Filename: Plain; "), 0);
    EXPECT_GE(Find(lines, "@PJL SET JOBNAME=\"Plain\""), 0);
    EXPECT_GE(Find(lines, "@PJL USAGE = XL01,"), 0);
}

TEST_F(JobControl, ScriptChoicesOfPrinterFeaturesYieldToTheCommandLine) {
    std::vector<std::string> lines =
        Print(R"("born_on_date": true, "usage": "user", "separator_page": true,
                 "image_shift": {"front": {"x": 1.5}},
                 "processing_adjustment": {"field1": -0.5})");
    EXPECT_GE(Find(lines, "@PJL DMINFO ASCIIHEX=\"0400040101020D10100115"), 0);
    EXPECT_GE(Find(lines, "@PJL USAGE = XL01,"), 0) << "LNNAME_XL01 sends XL01";
    EXPECT_GE(Find(lines, "@PJL SET SEPARATORPAGE=ON"), 0);
    EXPECT_GE(Find(lines, "@PJL SET IMAGESHIFTFRONTX= 1500"), 0);
    EXPECT_GE(Find(lines, "@PJL SET PROCESSINGADJUSTMENT=\"FLD01:-5\""), 0);

    lines = Print(R"("born_on_date": true)", {"--set", "KXBornOnDate=NONE"});
    EXPECT_EQ(Find(lines, "@PJL DMINFO"), -1);
}

}  // namespace
