// The document, page and band hooks against a recording Unidrv and the world's
// spooler: page ends, collated copies by capture, two passes, and what Unidrv
// still gets to do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <winspool.h>
#include <xlplatform/world.h>

#include "frame/capture_file.h"
#include "frame/hooks.h"
#include "frame/plugin_fixtures.h"
#include "frame/write_printer.h"
#include "settings/opened_printer.h"
#include "settings/pages_per_sheet.h"
#include "support/run_command.h"

namespace {

// PageCopies = n as a uint16, then EndPage.
std::string EndOfPage(uint8_t copies) {
    return std::string("\xC1", 1) + char(copies) + std::string("\x00\xF8\x31\x44", 4);
}

DWORD WriteThroughPlugin(PDEVOBJ device, PVOID data, DWORD size) {
    DWORD written = 0;
    xlr::WriteJobBytes(device, data, size, &written);
    return written;
}

void Write(SURFOBJ* pso, const char* text) {
    auto* device = reinterpret_cast<PDEVOBJ>(pso->dhpdev);
    device->pDrvProcs->DrvWriteSpoolBuf(device, const_cast<char*>(text),
                                        static_cast<DWORD>(std::strlen(text)));
}

int g_bandsLeft = 0;
BOOL UnidrvStartDoc(SURFOBJ* pso, LPWSTR, DWORD) {
    return Write(pso, "JOB\n"), TRUE;
}
BOOL UnidrvStartPage(SURFOBJ* pso) {
    return Write(pso, "PAGE\n"), TRUE;
}
BOOL UnidrvSendPage(SURFOBJ* pso) {
    return Write(pso, "DATA\n"), TRUE;
}
// Set: the spooler refuses every write after Unidrv's end of the job, so that
// the copies sent again fail.
bool g_spoolerFailsAfterEnd = false;
BOOL UnidrvEndDoc(SURFOBJ* pso, FLONG) {
    Write(pso, "END\n");
    if (g_spoolerFailsAfterEnd) xlplatform::TheWorld().writePrinterError = ERROR_DISK_FULL;
    return TRUE;
}
BOOL UnidrvStartBanding(SURFOBJ*, POINTL* origin) {
    return *origin = {0, 0}, TRUE;
}
BOOL UnidrvNextBand(SURFOBJ* pso, POINTL* origin) {
    Write(pso, "BAND\n");
    *origin = --g_bandsLeft > 0 ? POINTL{0, 100} : POINTL{-1, -1};
    return TRUE;
}
ULONG UnidrvEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) {
    return 77;
}

class LifecycleTest : public xltest::EnabledDeviceTest {
  protected:
    void SetUp() override {
        EnabledDeviceTest::SetUp();
        g_spoolerFailsAfterEnd = false;
        xlplatform::TheWorld().driveRoots['C'] = root.path();
        UseTempDirectory("Temp");
        xlplatform::Printer printer;
        printer.name = u"Life";
        printer.outputFile = xlplatform::Utf8ToUtf16(root / "job.prn");
        printerHandle = device.devobj.hPrinter = xltest::AddOpenedPrinter(printer);
        device.procs.DrvWriteSpoolBuf = WriteThroughPlugin;
        device.publicDevMode.dmCopies = 3;
        device.publicDevMode.dmCollate = DMCOLLATE_TRUE;
        device.helper.standardVariables[SVI_COPIES] = 3;
        unidrvFunctions = {{INDEX_DrvStartDoc, FunctionCast<PFN>(&UnidrvStartDoc)},
                           {INDEX_DrvStartPage, FunctionCast<PFN>(&UnidrvStartPage)},
                           {INDEX_DrvSendPage, FunctionCast<PFN>(&UnidrvSendPage)},
                           {INDEX_DrvEndDoc, FunctionCast<PFN>(&UnidrvEndDoc)},
                           {INDEX_DrvStartBanding, FunctionCast<PFN>(&UnidrvStartBanding)},
                           {INDEX_DrvNextBand, FunctionCast<PFN>(&UnidrvNextBand)},
                           {INDEX_DrvEscape, FunctionCast<PFN>(&UnidrvEscape)}};
    }

    // Pre-analysis on, with an enhancement that asks for it; copies uncollated.
    void UseTwoPasses() {
        device.helper.features = {{"KXPreAnalysis", "TRUE"}, {"KXRedEyeReduction", "On"}};
        xlr::SettingsRecord settings = device.Settings();
        settings.outputMode = 3;
        device.SetSettings(settings);
        device.publicDevMode.dmCollate = DMCOLLATE_FALSE;
    }

    DWORD StartJob(const char16_t* datatype) {
        DOC_INFO_1W info{const_cast<LPWSTR>(u"Report"), nullptr, const_cast<LPWSTR>(datatype)};
        return StartDocPrinterW(printerHandle, 1, reinterpret_cast<LPBYTE>(&info));
    }

    // Plain pages (or passes of a page); returns what the job file holds afterwards.
    std::string Print(const char16_t* datatype, int pages = 2) {
        const DWORD job = StartJob(datatype);
        EXPECT_NE(job, 0u);
        EXPECT_TRUE(xlr::DrvStartDoc(&surface, const_cast<LPWSTR>(u"Report"), job));
        for (int page = 0; page < pages; ++page) {
            EXPECT_TRUE(xlr::DrvStartPage(&surface));
            EXPECT_TRUE(xlr::DrvSendPage(&surface));
        }
        EXPECT_TRUE(xlr::DrvEndDoc(&surface, 0));
        EndDocPrinter(printerHandle);
        return JobFile();
    }

    // The capture files go into `name` under the test's directory.
    void UseTempDirectory(const std::string& name) {
        tempDirectory = root / name;
        xlplatform::TheWorld().tempDirectory = xlplatform::Utf8ToUtf16(tempDirectory + "/");
    }

    // The capture files left in the temporary directory.
    size_t CaptureFilesLeft() const {
        std::error_code ignored;
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(tempDirectory, ignored))
            count += entry.path().filename().string().rfind("KX_", 0) == 0;
        return count;
    }

    // Starts a raw job and its document with one page; capture is on.
    void StartRawPage() {
        const DWORD job = StartJob(u"RAW");
        ASSERT_NE(job, 0u);
        ASSERT_TRUE(xlr::DrvStartDoc(&surface, nullptr, job));
        ASSERT_TRUE(xlr::DrvStartPage(&surface));
        ASSERT_TRUE(xlr::DrvSendPage(&surface));
        ASSERT_EQ(CaptureFilesLeft(), 1u);
    }

    std::string JobFile() {
        std::ifstream in(root / "job.prn", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    xltest::TempDir root;
    std::string tempDirectory;
    HANDLE printerHandle = nullptr;
};

const std::string kTwoPages =
    "JOB\nPAGE\nDATA\n" + EndOfPage(1) + "PAGE\nDATA\n" + EndOfPage(1) + "END\n";

// The capture directory's name is one the ANSI code page cannot spell.
TEST_F(LifecycleTest, RawCollatedCopiesAreCapturedAndSentAgain) {
    UseTempDirectory(
        "Dr\xC3\xBC"
        "cker \xE6\x97\xA5\xE6\x9C\xAC");
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(Print(u"RAW"), kTwoPages + kTwoPages + kTwoPages)
        << "each page ends with PageCopies 1; the job goes out three times";
    EXPECT_EQ(state->jobDataType, 2);
    EXPECT_EQ(state->captureActive, 0);
    EXPECT_EQ(state->capturePath[0], 0);
    EXPECT_EQ(CaptureFilesLeft(), 0u) << "the capture file is gone";
    EXPECT_EQ(state->pageCount, 2u);
    ASSERT_EQ(xlplatform::TheWorld().usageLog.size(), 1u) << "one usage record per document";
    EXPECT_EQ(xlplatform::FormatUsageRecord(xlplatform::TheWorld().usageLog[0]),
              "device=\"9999999999#UnknownModel\" application=\"UnknownAppName\" pages=2");
}

// Without a capture the copies are the printer's: uncollated, but none lost.
TEST_F(LifecycleTest, CopiesThatCannotBeCapturedAreMadeByThePrinter) {
    struct Case {
        const char* what;
        std::optional<uint64_t> diskSpace;
        std::string job;
    };
    const std::string uncollated =
        "JOB\nPAGE\nDATA\n" + EndOfPage(3) + "PAGE\nDATA\n" + EndOfPage(3) + "END\n";
    const Case cases[] = {
        {"no capture file can be made", std::nullopt, uncollated},
        {"the disk is full from the start", 0, uncollated},
        // The first page was ended before the capture failed: it prints once.
        {"the disk fills after the first page", 20,
         "JOB\nPAGE\nDATA\n" + EndOfPage(1) + "PAGE\nDATA\n" + EndOfPage(3) + "END\n"},
    };
    setenv("XLRENDER_DEBUG", "1", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.diskSpace) {
            UseTempDirectory("Temp");
        } else {
            // A directory below a plain file cannot be made.
            std::ofstream(root / "plain") << "x";
            UseTempDirectory("plain/Temp");
        }
        xlplatform::TheWorld().diskSpace = c.diskSpace;
        std::remove((root / "job.prn").c_str());
        xlr::PluginDeviceState* state = Enable();
        ASSERT_NE(state, nullptr);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Print(u"RAW"), c.job);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("each page carries the copies"),
                  std::string::npos);
        EXPECT_EQ(CaptureFilesLeft(), 0u) << "no half-written capture file";
        EXPECT_EQ(state->captureActive, 0);
        xlr::DisableDeviceState(&device.devobj);
    }
    unsetenv("XLRENDER_DEBUG");
}

TEST_F(LifecycleTest, TheCaptureFileGoesWhicheverWayTheDocumentEnds) {
    // A document that never ends: the device goes.
    ASSERT_NE(Enable(), nullptr);
    StartRawPage();
    xlr::DisableDeviceState(&device.devobj);
    EXPECT_EQ(CaptureFilesLeft(), 0u) << "disabled without EndDoc";
    EndDocPrinter(printerHandle);

    // An end that fails before Unidrv's: the settings are gone.
    ASSERT_NE(Enable(), nullptr);
    StartRawPage();
    PVOID settings = device.devobj.pOEMDM;
    device.devobj.pOEMDM = nullptr;
    EXPECT_FALSE(xlr::DrvEndDoc(&surface, 0));
    device.devobj.pOEMDM = settings;
    EXPECT_EQ(CaptureFilesLeft(), 0u) << "EndDoc without settings";
    EndDocPrinter(printerHandle);

    // An aborted document is not sent again.
    std::remove((root / "job.prn").c_str());
    StartRawPage();
    EXPECT_TRUE(xlr::DrvEndDoc(&surface, ED_ABORTDOC));
    EndDocPrinter(printerHandle);
    EXPECT_EQ(JobFile(), "JOB\nPAGE\nDATA\n" + EndOfPage(1) + "END\n");
    EXPECT_EQ(CaptureFilesLeft(), 0u) << "aborted";

    // The spooler refuses the copies: the first refused write ends the replay,
    // and the failure is reported.
    std::remove((root / "job.prn").c_str());
    StartRawPage();
    g_spoolerFailsAfterEnd = true;
    EXPECT_FALSE(xlr::DrvEndDoc(&surface, 0));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EndDocPrinter(printerHandle);
    EXPECT_EQ(JobFile(), "JOB\nPAGE\nDATA\n" + EndOfPage(1) + "END\n");
    EXPECT_EQ(CaptureFilesLeft(), 0u) << "failed replay";
}

TEST_F(LifecycleTest, WritesReportWhatTheSpoolerTook) {
    DWORD written = 99;
    char bytes[] = "abc";
    EXPECT_EQ(xlr::WriteJobBytes(&device.devobj, nullptr, 0, &written), S_OK);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(xlr::WriteJobBytes(&device.devobj, bytes, 1, &written), E_FAIL)
        << "no device state yet";
    EXPECT_EQ(written, 0u);

    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(xlr::WriteJobBytes(&device.devobj, bytes, 0, &written), S_OK);
    EXPECT_EQ(written, 0u);
    const DWORD job = StartJob(u"RAW");
    ASSERT_NE(job, 0u);
    EXPECT_EQ(xlr::WriteJobBytes(&device.devobj, bytes, 3, &written), S_OK);
    EXPECT_EQ(written, 3u);
    ASSERT_TRUE(xlr::DrvStartDoc(&surface, nullptr, job));  // capturing from here
    xlplatform::TheWorld().writePrinterError = ERROR_DISK_FULL;
    EXPECT_EQ(xlr::WriteJobBytes(&device.devobj, bytes, 3, &written), E_FAIL);
    EXPECT_EQ(written, 0u) << "not the capture file's count";
    xlplatform::TheWorld().writePrinterError = 0;
    EndDocPrinter(printerHandle);
}

TEST_F(LifecycleTest, ASecondDocumentOnTheSameDeviceStartsAfresh) {
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(Print(u"RAW"), kTwoPages + kTwoPages + kTwoPages);
    state->savedOrientation = DMORIENT_LANDSCAPE;  // as the first page of a duplex job leaves it
    std::remove((root / "job.prn").c_str());
    EXPECT_EQ(Print(u"NT EMF 1.008", 1), "JOB\nPAGE\nDATA\n" + EndOfPage(1) + "END\n")
        << "not captured: the data type is read again";
    EXPECT_EQ(state->jobDataType, 1);
    EXPECT_EQ(state->pageCount, 1u);
    EXPECT_EQ(state->jobId, 2u);
    EXPECT_EQ(state->savedOrientation, device.publicDevMode.dmOrientation);
}

TEST_F(LifecycleTest, SpeedMechanismCommandStartsEachSimplexPage) {
    device.helper.features["KXSpeedMech"] = "On";
    device.publicDevMode.dmCollate = DMCOLLATE_FALSE;
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    state->speedMechMode = 1;
    const std::string command("\xC2\x00\x21\x78\x6B\xF8\x91\xC0\x01\xF8\x93\x46", 12);
    EXPECT_EQ(Print(u"RAW", 1), "JOB\nPAGE\n" + command + "DATA\n" + EndOfPage(3) + "END\n");
}

// Raw jobs of devices that collate themselves (journaled jobs: see the second
// document above).
TEST_F(LifecycleTest, CollatingDevicesAreNotCaptured) {
    for (const auto& [feature, option] : {std::pair{"EMFSpoolingforPLSwoVellex", "TRUE"},
                                          std::pair{"DeviceIsVellex", "INSTALLED"}}) {
        SCOPED_TRACE(feature);
        device.helper.features = {{feature, option}};
        ASSERT_NE(Enable(), nullptr);
        std::remove((root / "job.prn").c_str());
        EXPECT_EQ(Print(u"RAW"), kTwoPages);
        xlr::DisableDeviceState(&device.devobj);
    }
}

TEST_F(LifecycleTest, ABandedPageEndsOnceAfterItsLastBand) {
    ASSERT_NE(Enable(), nullptr);
    device.publicDevMode.dmCollate = DMCOLLATE_FALSE;
    ASSERT_NE(StartJob(u"RAW"), 0u);
    ASSERT_TRUE(xlr::DrvStartDoc(&surface, nullptr, 0));
    ASSERT_TRUE(xlr::DrvStartPage(&surface));
    POINTL origin{};
    ASSERT_TRUE(xlr::DrvStartBanding(&surface, &origin));
    g_bandsLeft = 3;
    do {
        ASSERT_TRUE(xlr::DrvNextBand(&surface, &origin));
    } while (origin.x != -1);
    ASSERT_TRUE(xlr::DrvEndDoc(&surface, 0));
    EndDocPrinter(printerHandle);
    EXPECT_EQ(JobFile(), "JOB\nPAGE\nBAND\nBAND\nBAND\n" + EndOfPage(3) + "END\n");
}

TEST_F(LifecycleTest, TwoPassPagesCountOnceAndPrintOnce) {
    UseTwoPasses();
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    // The analysis pass, then the output pass of one page.
    EXPECT_EQ(Print(u"NT EMF 1.008", 2), "JOB\nPAGE\nDATA\n" + EndOfPage(3) + "END\n");
    EXPECT_EQ(state->preAnalysis, 1);
    EXPECT_EQ(state->pageCount, 1u);
}

// Banded pages in two passes: the analysis pass ends with its last band and
// writes no page end; the output pass prints the page as a banded page prints
// without pre-analysis. Unidrv keeps moving from band to band in both passes.
TEST_F(LifecycleTest, BandedTwoPassPagesPrintEveryPage) {
    UseTwoPasses();
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    const DWORD job = StartJob(u"NT EMF 1.008");
    ASSERT_TRUE(xlr::DrvStartDoc(&surface, nullptr, job));
    ASSERT_EQ(state->suppressOutput, 1);
    for (int page = 0; page < 2; ++page) {
        for (int pass = 0; pass < 2; ++pass) {
            SCOPED_TRACE(::testing::Message() << "page " << page << " pass " << pass);
            ASSERT_TRUE(xlr::DrvStartPage(&surface));
            POINTL origin{};
            ASSERT_TRUE(xlr::DrvStartBanding(&surface, &origin));
            g_bandsLeft = 2;
            do {
                ASSERT_TRUE(xlr::DrvNextBand(&surface, &origin));
            } while (origin.x != -1);
            EXPECT_EQ(state->suppressOutput, pass == 0 ? 0 : 1);
        }
    }
    ASSERT_TRUE(xlr::DrvEndDoc(&surface, 0));
    EndDocPrinter(printerHandle);
    const std::string analysis = "BAND\nBAND\n";
    const std::string output = "PAGE\nBAND\nBAND\n" + EndOfPage(3);
    EXPECT_EQ(JobFile(), "JOB\n" + analysis + output + analysis + output + "END\n");
    EXPECT_EQ(state->pageCount, 2u);
}

// Which enhancement choices turn the two passes on. "Off" keeps its value for
// the library but asks for nothing; "On" of a level is the value of no choice.
TEST_F(LifecycleTest, EnhancementChoicesThatAskForTwoPasses) {
    struct Case {
        const char* feature;
        const char* option;
        int32_t preAnalysis;
        int32_t contrast;
    };
    const Case cases[] = {
        {"KXContrast", "Off", 0, 99},         {"KXSharpness", "Off", 0, -99},
        {"KXContrast", "On", 0, -99},         {"KXContrast", "Low", 1, -1},
        {"KXSmoothing", "High", 1, -99},      {"KXDigitalFlash", "Medium", 1, -99},
        {"KXSmartFocus", "On", 1, -99},       {"KXRedEyeReduction", "On", 1, -99},
        {"KXRedEyeReduction", "Off", 0, -99},
    };
    xlr::SettingsRecord settings = device.Settings();
    settings.outputMode = 3;
    device.SetSettings(settings);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.feature << "=" << c.option);
        device.helper.features = {{"KXPreAnalysis", "TRUE"}, {c.feature, c.option}};
        xlr::PluginDeviceState* state = Enable();
        ASSERT_NE(state, nullptr);
        ASSERT_TRUE(xlr::DrvStartDoc(&surface, nullptr, 1));
        EXPECT_EQ(state->preAnalysis, c.preAnalysis);
        EXPECT_EQ(state->suppressOutput, c.preAnalysis);
        EXPECT_EQ(state->commandStore != nullptr, c.preAnalysis == 1);
        EXPECT_EQ(state->contrast, c.contrast);
        xlr::DisableDeviceState(&device.devobj);
    }
}

TEST(PagesPerSheet, ChoicesMapToLogicalPages) {
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0, 1}, {1, 1}, {2, 2}, {3, 4}, {4, 6}, {5, 9}, {6, 16}, {7, 16}, {8, 1}, {0xFFFFFFFF, 1}};
    for (const auto& [choice, pages] : cases)
        EXPECT_EQ(xlr::PagesPerSheet(choice), pages) << choice;
    xlr::SettingsRecord settings{};
    settings.pagesPerSheet = 3;
    settings.simplexOnly = 1;
    DEVMODEW dm{};
    dm.dmDuplex = DMDUP_SIMPLEX;
    EXPECT_EQ(xlr::LogicalPageCount(settings, dm, 0), 1u)
        << "a two-sided layout printed on one side";
    EXPECT_EQ(xlr::LogicalPageCount(settings, dm, 1), 4u);
    dm.dmDuplex = DMDUP_VERTICAL;
    EXPECT_EQ(xlr::LogicalPageCount(settings, dm, 0), 4u);
}

// A capture of several replay blocks and a piece goes out whole, in order, once
// per further copy.
TEST(CaptureReplayTest, ALargeCaptureIsSentWholeForEachCopy) {
    const xltest::TempDir root;
    xlplatform::ResetWorld();
    xlplatform::Printer printer;
    printer.name = u"Replay";
    printer.outputFile = xlplatform::Utf8ToUtf16(root / "job.prn");
    xlplatform::AddPrinter(printer);
    std::string captured((size_t{5} << 19) + 7, '\0');
    for (size_t i = 0; i < captured.size(); ++i) captured[i] = char(i * 7 + i / 4099);
    const std::string capture = root / "capture.prn";
    std::ofstream(capture, std::ios::binary) << captured;
    xlr::PluginDeviceState state{};
    ASSERT_LT(capture.size(), sizeof state.capturePath);
    capture.copy(state.capturePath, capture.size());

    WCHAR name[] = u"Replay";
    HANDLE handle = nullptr;
    ASSERT_TRUE(OpenPrinterW(name, &handle, nullptr));
    DOC_INFO_1W info{name, nullptr, nullptr};
    ASSERT_NE(StartDocPrinterW(handle, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_TRUE(xlr::ReplayCaptureFile(state, handle, 2));
    EXPECT_TRUE(EndDocPrinter(handle));
    EXPECT_TRUE(ClosePrinter(handle));
    std::ifstream in(root / "job.prn", std::ios::binary);
    const std::string job((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(job == captured + captured) << job.size() << " bytes";
}

}  // namespace
