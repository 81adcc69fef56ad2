// Spooler jobs: the job record, the job's output file and WritePrinter.
#include <winspool.h>

#include <filesystem>
#include <vector>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

class SpoolJobTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        Printer printer;
        printer.name = u"Office XL";
        printer.outputFile = Utf8ToUtf16(Root("printer.prn"));
        AddPrinter(std::move(printer));
        TheWorld().fixedTime = SYSTEMTIME{2026, 3, 0, 4, 9, 5, 30, 250};
        std::u16string name = u"Office XL";
        ASSERT_TRUE(OpenPrinterW(name.data(), &printer_, nullptr));
    }

    DWORD Start(const char16_t* document, const char16_t* datatype = nullptr,
                const char16_t* output = nullptr) {
        std::u16string doc = document, type = datatype ? datatype : u"",
                       file = output ? output : u"";
        DOC_INFO_1W info{doc.data(), output ? file.data() : nullptr,
                         datatype ? type.data() : nullptr};
        return StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&info));
    }

    BOOL Write(std::string_view bytes, DWORD* written) {
        std::string copy(bytes);
        return WritePrinter(printer_, copy.data(), static_cast<DWORD>(copy.size()), written);
    }

    JOB_INFO_2W* Job2(DWORD id) {
        DWORD needed = 0;
        EXPECT_FALSE(GetJobW(printer_, id, 2, nullptr, 0, &needed));
        buffer_.assign(needed, 0);
        EXPECT_TRUE(GetJobW(printer_, id, 2, buffer_.data(), needed, &needed));
        return reinterpret_cast<JOB_INFO_2W*>(buffer_.data());
    }

    HANDLE printer_ = nullptr;
    std::vector<BYTE> buffer_;
};

TEST_F(SpoolJobTest, WritePrinterAppendsToTheJobFile) {
    WriteFile(Root("printer.prn"), "stale bytes of an earlier job");
    const DWORD id = Start(u"Report.doc", u"RAW");
    ASSERT_NE(id, 0u);
    DWORD written = 0;
    EXPECT_TRUE(Write("\x1B%-12345X@PJL\n", &written));
    EXPECT_EQ(written, 14u);
    EXPECT_TRUE(Write(") HP-PCL XL;", &written));
    EXPECT_EQ(written, 12u);
    EXPECT_TRUE(Write("", &written));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(EndDocPrinter(printer_));
    EXPECT_EQ(ReadFile(Root("printer.prn")), "\x1B%-12345X@PJL\n) HP-PCL XL;");
}

TEST_F(SpoolJobTest, JobRecordCarriesTheJobDetails) {
    TheWorld().userName = u"alice";
    const DWORD id = Start(u"Quarterly report", u"NT EMF 1.008");
    ASSERT_TRUE(StartPagePrinter(printer_));
    ASSERT_TRUE(StartPagePrinter(printer_));
    DWORD written = 0;
    ASSERT_TRUE(Write("abc", &written));
    const JOB_INFO_2W& job = *Job2(id);
    EXPECT_EQ(job.JobId, id);
    const std::vector<std::u16string_view> texts = {job.pDocument, job.pDatatype, job.pUserName,
                                                    job.pMachineName, job.pPrinterName};
    EXPECT_EQ(texts, (std::vector<std::u16string_view>{u"Quarterly report", u"NT EMF 1.008",
                                                       u"alice", u"\\\\XLHOST", u"Office XL"}));
    EXPECT_EQ(job.Status, JOB_STATUS_SPOOLING);
    EXPECT_EQ(job.TotalPages, 2u);
    EXPECT_EQ(job.Size, 3u);
    // The world's clock, with its day of the week (4 March 2026 is a Wednesday).
    EXPECT_EQ(job.Submitted.wDay, 4);
    EXPECT_EQ(job.Submitted.wDayOfWeek, 3);
    EXPECT_EQ(job.Submitted.wMinute, 5);

    // Defaults the world gives every job, and the printer's data type.
    TheWorld().jobDefaults.userName = u"bob";
    TheWorld().jobDefaults.submitted = SYSTEMTIME{2025, 12, 0, 31, 23, 59, 59, 0};
    EXPECT_TRUE(EndDocPrinter(printer_));
    const JOB_INFO_2W& next = *Job2(Start(u"x"));
    EXPECT_EQ(std::u16string_view(next.pUserName), u"bob");
    EXPECT_EQ(std::u16string_view(next.pDatatype), u"RAW");
    EXPECT_EQ(next.Submitted.wYear, 2025);
}

TEST_F(SpoolJobTest, OutputFileChoice) {
    struct Case {
        const char* document;  // DOC_INFO_1W pOutputFile, or null
        const char* defaults;  // jobDefaults.outputFile, or null
        const char* printer;   // Printer::outputFile, or null
        const char* expected;  // under drive C
    };
    const Case cases[] = {
        {"doc.prn", "defaults.prn", "printer.prn", "doc.prn"},
        {nullptr, "defaults.prn", "printer.prn", "defaults.prn"},
        {nullptr, nullptr, "printer.prn", "printer.prn"},
        {nullptr, nullptr, nullptr, "Windows/System32/spool/PRINTERS/00042.SPL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        auto windowsPath = [](const char* name) { return u"C:\\" + Utf8ToUtf16(name); };
        TheWorld().jobDefaults.outputFile = c.defaults ? windowsPath(c.defaults) : u"";
        FindPrinter(u"Office XL")->outputFile = c.printer ? windowsPath(c.printer) : u"";
        TheWorld().nextJobId = 42;
        TheWorld().jobs.clear();
        const std::u16string document = c.document ? windowsPath(c.document) : u"";
        ASSERT_EQ(Start(u"doc", nullptr, c.document ? document.c_str() : nullptr), 42u);
        DWORD written = 0;
        EXPECT_TRUE(Write("data", &written));
        EXPECT_TRUE(EndDocPrinter(printer_));
        EXPECT_EQ(ReadFile(Root(c.expected)), "data");
    }
}

TEST_F(SpoolJobTest, FailingWrites) {
    DWORD written = 99;
    EXPECT_FALSE(Write("early", &written));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
    EXPECT_EQ(written, 0u);

    ASSERT_NE(Start(u"doc"), 0u);
    EXPECT_EQ(Start(u"second"), 0u);  // one document per handle at a time
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_STATE);

    TheWorld().writePrinterError = ERROR_DISK_FULL;
    written = 99;
    EXPECT_FALSE(Write("lost", &written));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(ReadFile(Root("printer.prn")), "");

    TheWorld().writePrinterError = 0;
    EXPECT_FALSE(WritePrinter(printer_, nullptr, 4, &written));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(SpoolJobTest, AJobFileThatCannotBeCreatedFailsTheDocument) {
    EXPECT_EQ(Start(u"doc", nullptr, u"C:\\no\\such\\directory\\job.prn"), 0u);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    DWORD written = 0;
    EXPECT_FALSE(Write("x", &written));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
}

TEST_F(SpoolJobTest, JobsBelongToTheirPrinter) {
    Printer other;
    other.name = u"Other";
    other.outputFile = Utf8ToUtf16(Root("other.prn"));
    AddPrinter(std::move(other));
    std::u16string name = u"Other";
    HANDLE otherHandle = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &otherHandle, nullptr));
    DOC_INFO_1W info{name.data(), nullptr, nullptr};
    const DWORD id = StartDocPrinterW(otherHandle, 1, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(id, 0u);
    DWORD needed = 0;
    EXPECT_FALSE(GetJobW(printer_, id, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // Closing the handle ends its document.
    EXPECT_TRUE(ClosePrinter(otherHandle));
    EXPECT_TRUE(FindJob(id)->ended);
}

// The job file stays open for the job's writes: every byte is in the file as
// soon as WritePrinter returns, and two jobs on one file both append.
TEST_F(SpoolJobTest, WritesReachTheFileAtOnceAndJobsSharingItAppend) {
    const DWORD first = Start(u"first");
    ASSERT_NE(first, 0u);
    DWORD written = 0;
    EXPECT_TRUE(Write("AAAA", &written));
    EXPECT_EQ(ReadFile(Root("printer.prn")), "AAAA") << "before the document ends";
    HANDLE other = nullptr;
    std::u16string name = u"Office XL";
    ASSERT_TRUE(OpenPrinterW(name.data(), &other, nullptr));
    DOC_INFO_1W info{name.data(), nullptr, nullptr};
    ASSERT_NE(StartDocPrinterW(other, 1, reinterpret_cast<LPBYTE>(&info)), 0u);  // empties it
    EXPECT_TRUE(WritePrinter(other, const_cast<char*>("B"), 1, &written));
    EXPECT_TRUE(Write("C", &written));
    EXPECT_TRUE(EndDocPrinter(printer_));
    EXPECT_TRUE(ClosePrinter(other));
    EXPECT_EQ(ReadFile(Root("printer.prn")), "BC");
    EXPECT_EQ(FindJob(first)->size, 5u);
}

}  // namespace
