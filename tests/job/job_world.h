// A world with one printer, its driver's files and one spooler job, and a
// device whose state and settings the job-control callbacks read.
#pragma once

#include <string>

#include "job/job_control.h"
#include "platform/world_fixture.h"
#include "settings/device/device_state.h"
#include "settings/opened_printer.h"
#include "support/fake_unidrv.h"

namespace xltest {

inline constexpr char16_t kPrinterName[] = u"XL Printer";
inline constexpr char16_t kDriverDirectory[] = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";
inline constexpr DWORD kJobId = 12;

class JobWorldTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        xlplatform::World& world = xlplatform::TheWorld();
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
        device.devobj.hPrinter = xltest::AddOpenedPrinter(printer);
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

        state = xlr::NewDeviceState();
        ASSERT_NE(state, nullptr);
        state->driverHelper = &device.helper;
        state->jobId = kJobId;
        state->pjlEncoding = 2;  // 7-bit
        settings = xltest::DefaultSettings(device.publicDevMode);
    }

    void TearDown() override {
        xlr::FreeDeviceState(state);
        WorldTest::TearDown();
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

    xltest::FakeDevice device;
    xlr::PluginDeviceState* state = nullptr;
    xlr::SettingsRecord settings{};
};

}  // namespace xltest
