// A world with one printer, its driver's files and one spooler job, and a
// device whose state and settings the job-control callbacks read.
#pragma once

#include <gtest/gtest.h>
#include <xlplatform/world.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <winspool.h>

#include "job/job_control.h"
#include "settings/device/device_state.h"
#include "support/fake_unidrv.h"

namespace xltest {

inline constexpr char16_t kPrinterName[] = u"XL Printer";
inline constexpr char16_t kDriverDirectory[] = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";
inline constexpr DWORD kJobId = 12;

class JobWorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "xljob-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        xlplatform::World& world = xlplatform::TheWorld();
        world.driveRoots['C'] = root_;
        world.utcOffsetMinutes = 60;
        world.uuidSeed = 7;

        xlplatform::Printer printer;
        printer.name = kPrinterName;
        printer.portName = u"USB001";
        // The code under test lives in the test program, which the world calls
        // spoolsv.exe; as a driver file it is the plug-in whose version the
        // comment line names.
        const std::u16string dir = kDriverDirectory;
        printer.driver.dependentFiles = {dir + u"spoolsv.exe", dir + u"XLRES.DLL"};
        xlplatform::AddPrinter(printer);
        world.fileVersions[dir + u"spoolsv.exe"].parts[0] = 1;
        world.fileVersions[dir + u"spoolsv.exe"].parts[2] = 20;
        auto& unidrv = world.fileVersions[dir + u"UNIDRV.DLL"];
        unidrv.parts[0] = 10;
        unidrv.parts[2] = 19041;
        unidrv.parts[3] = 1;

        xlplatform::Job job;
        job.id = kJobId;
        job.printerName = kPrinterName;
        job.machineName = u"\\\\PC7";
        job.userName = u"alice";
        job.document = u"Quarterly report.doc";
        job.submitted = {2026, 3, 3, 4, 8, 5, 30, 0};  // 09:05:30 local
        world.jobs[kJobId] = job;

        std::u16string name = kPrinterName;
        ASSERT_TRUE(OpenPrinterW(name.data(), &printer_, nullptr));
        device.devobj.hPrinter = printer_;
        state = xlr::NewDeviceState();
        ASSERT_NE(state, nullptr);
        state->driverHelper = &device.helper;
        state->jobId = kJobId;
        state->pjlEncoding = 2;  // 7-bit
        settings = xltest::DefaultSettings(device.publicDevMode);
    }

    void TearDown() override {
        xlr::FreeDeviceState(state);
        ClosePrinter(printer_);
        xlplatform::ResetWorld();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    // What one callback writes.
    std::string Callback(DWORD id) {
        device.helper.spooled.clear();
        xlr::WriteJobControlCallback(&device.devobj, *state, settings, id);
        return device.helper.spooled;
    }

    void SetDocumentName(std::u16string_view name) {
        std::fill(std::begin(state->documentName), std::end(state->documentName), 0);
        std::copy(name.begin(), name.end(), state->documentName);
    }

    // A file under the test's drive C, by its Windows path below "C:\".
    std::string HostFile(const std::string& relative) const { return root_ + "/" + relative; }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& relative, const std::string& bytes) const {
        const std::filesystem::path path = HostFile(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    xltest::FakeDevice device;
    xlr::PluginDeviceState* state = nullptr;
    xlr::SettingsRecord settings{};

  private:
    std::string root_;
    HANDLE printer_ = nullptr;
};

}  // namespace xltest
