// EnablePDEV, DisablePDEV and ResetPDEV: the device state that EnablePDEV
// builds from features, settings and Unidrv's graphics information.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include <winspool.h>
#include <xlplatform/world.h>

#include "frame/device_enable.h"
#include "image/enhancement/command_store.h"
#include "settings/device/hook_slots.h"
#include "settings/opened_printer.h"
#include "support/fake_unidrv.h"
#include "support/run_command.h"

namespace {

using xltest::FakeDevice;

GDIINFO LetterGdiInfo() {
    GDIINFO gdi{};
    gdi.ulLogPixelsX = gdi.ulLogPixelsY = 600;
    gdi.szlPhysSize = {5100, 6600};
    gdi.ptlPhysOffset = {100, 100};
    gdi.ulHorzRes = 5100 - 100 - 150;  // right gap 150
    gdi.ulVertRes = 6600 - 100 - 100;
    gdi.cBitsPixel = 24;
    gdi.ulNumColors = 2;
    return gdi;
}

LONG_PTR Dummy() {
    return 1;
}
PFN Fn(int n) {
    return reinterpret_cast<PFN>(reinterpret_cast<uintptr_t>(&Dummy) + n);
}

class DeviceEnableTest : public ::testing::Test {
  protected:
    void SetUp() override { xlplatform::ResetWorld(); }
    void TearDown() override {
        xlr::DisableDeviceState(&device.devobj);
        xlr::SetHybridPathFlag(0);
        xlplatform::ResetWorld();
    }

    xlr::PluginDeviceState* Enable(const DRVENABLEDATA* unidrv = nullptr) {
        return xlr::EnableDeviceState(&device.devobj, &device.helper, &gdi, &devInfo, unidrv);
    }
    // A state for another device, with graphics information of its own.
    static xlr::PluginDeviceState* EnableOther(FakeDevice& other) {
        GDIINFO g = LetterGdiInfo();
        DEVINFO d{};
        return xlr::EnableDeviceState(&other.devobj, &other.helper, &g, &d, nullptr);
    }

    FakeDevice device;
    GDIINFO gdi = LetterGdiInfo();
    DEVINFO devInfo{};
};

TEST_F(DeviceEnableTest, MissingPiecesFailAndLeaveNoState) {
    EXPECT_EQ(xlr::EnableDeviceState(nullptr, &device.helper, &gdi, &devInfo, nullptr), nullptr);
    struct Case {
        const char* what;
        void (*spoil)(FakeDevice&);
    };
    const Case cases[] = {
        {"private device mode", [](FakeDevice& d) { d.devobj.pOEMDM = nullptr; }},
        {"public device mode", [](FakeDevice& d) { d.devobj.pPublicDM = nullptr; }},
        {"corrupt settings", [](FakeDevice& d) { d.privateDevMode->payload[3] ^= 0xFF; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeDevice spoiled;
        c.spoil(spoiled);
        SetLastError(0);
        EXPECT_EQ(xlr::EnableDeviceState(&spoiled.devobj, &spoiled.helper, &gdi, &devInfo, nullptr),
                  nullptr);
        EXPECT_EQ(spoiled.devobj.pdevOEM, nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    }
    EXPECT_EQ(xlr::EnableDeviceState(&device.devobj, nullptr, &gdi, &devInfo, nullptr), nullptr)
        << "no driver helper";
    EXPECT_EQ(device.devobj.pdevOEM, nullptr);
}

TEST_F(DeviceEnableTest, SavesUnidrvHooksByFunctionIndexWithoutReadingPastTheTable) {
    // Unidrv's table lacks DrvTextOut (23) and lists the rest in another order;
    // one entry past `c` would match DrvQueryDeviceSupport (76) if it were read.
    std::vector<DRVFN> functions;
    for (int slot = xlr::kHookCount - 1; slot >= 0; --slot)
        if (xlr::kHookFunctionIndex[slot] != 23 && xlr::kHookFunctionIndex[slot] != 76)
            functions.push_back({xlr::kHookFunctionIndex[slot], Fn(slot)});
    const ULONG count = static_cast<ULONG>(functions.size());
    functions.push_back({76, Fn(99)});
    DRVENABLEDATA unidrv{0x00010000, count, functions.data()};
    xlr::PluginDeviceState* state = Enable(&unidrv);
    ASSERT_NE(state, nullptr);
    for (int slot = 0; slot < xlr::kHookCount; ++slot) {
        SCOPED_TRACE(slot);
        if (slot == xlr::kSlotTextOut || slot == xlr::kSlotQueryDeviceSupport)
            EXPECT_EQ(state->unidrvHooks[slot], nullptr);
        else
            EXPECT_EQ(state->unidrvHooks[slot], Fn(slot));
    }
}

TEST_F(DeviceEnableTest, FeatureDrivenFields) {
    struct Case {
        const char* feature;
        const char* option;  // null: absent
        int32_t xlr::PluginDeviceState::*field;
        int32_t expected;
    };
    const Case cases[] = {
        {"KXManualDuplexPageOrder", nullptr, &xlr::PluginDeviceState::manualDuplexOddFirstOff, 1},
        {"KXManualDuplexPageOrder", "OddPagesFirst",
         &xlr::PluginDeviceState::manualDuplexOddFirstOff, 0},
        {"KXManualDuplexPageOrder", "EvenPagesFirst",
         &xlr::PluginDeviceState::manualDuplexOddFirstOff, 1},
        {"JPEGEnable", "Auto", &xlr::PluginDeviceState::jpegMode, 1},
        {"JPEGEnable", "Maximum", &xlr::PluginDeviceState::jpegMode, 3},
        {"JPEGEnable", "Off", &xlr::PluginDeviceState::jpegMode, 0},
        {"DeviceIsVellex", "INSTALLED", &xlr::PluginDeviceState::deviceIsVellex, 1},
        {"DeviceIsVellex", "TRUE", &xlr::PluginDeviceState::deviceIsVellex, 1},
        {"DeviceIsVellex", "NOTINSTALLED", &xlr::PluginDeviceState::deviceIsVellex, 0},
        {"KXJobAccounting", "KXJOBACCT_TIMESTAMP", &xlr::PluginDeviceState::jobAccounting, 2},
        {"KXPJLEncoding", "UTF8Subset", &xlr::PluginDeviceState::pjlEncoding, 4},
        {"KXManualDuplexPageRotate", "UserRotate", &xlr::PluginDeviceState::rotate180, 1},
        {"KXManualDuplexPageRotate", "None", &xlr::PluginDeviceState::rotate180, 0},
        {"KXOrientRotate180", "Yes", &xlr::PluginDeviceState::rotate180, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.feature << "=" << (c.option ? c.option : "(absent)"));
        FakeDevice fresh;
        if (c.option != nullptr) fresh.helper.features[c.feature] = c.option;
        xlr::PluginDeviceState* state = EnableOther(fresh);
        ASSERT_NE(state, nullptr);
        EXPECT_EQ(state->*c.field, c.expected);
        EXPECT_EQ(state->duplexRotateEnabled, 1);
        xlr::DisableDeviceState(&fresh.devobj);
    }
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->rotate180, 1) << "neither rotation feature: rotate";
    EXPECT_EQ(state->resolution, 600);
    EXPECT_EQ(state->speedMechSimplex, 1);
}

TEST_F(DeviceEnableTest, MarginEmulation) {
    device.publicDevMode.dmDuplex = DMDUP_VERTICAL;
    device.helper.features["KXEmulateTarnlowMargins"] = "TRUE";
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->emulateMargins, 1);
    // Offset 100 and right gap 150: both margins become 150, the page loses 300.
    EXPECT_EQ(state->marginX, 150);
    EXPECT_EQ(state->printableWidth, 5100 - 300);
    EXPECT_EQ(state->marginY, 100);
    EXPECT_EQ(state->physOffsetX, 100);
    EXPECT_EQ(gdi.ptlPhysOffset.x, 0) << "without an XML file the offset goes to 0";
    EXPECT_EQ(gdi.ulHorzRes, 5100u);
}

TEST_F(DeviceEnableTest, AutoDuplexScaling) {
    const struct {
        short duplex;
        const char* option;
        bool emulatedMargins;
        int32_t expected;
    } cases[] = {{DMDUP_VERTICAL, "TRUE", false, 1},
                 {DMDUP_VERTICAL, "TRUE", true, 2},  // not used with emulated margins
                 {DMDUP_VERTICAL, "FALSE", false, 2},
                 {DMDUP_VERTICAL, nullptr, false, 0},
                 {DMDUP_SIMPLEX, "TRUE", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.duplex << " " << (c.option ? c.option : "-") << " " << c.emulatedMargins);
        FakeDevice fresh;
        fresh.publicDevMode.dmDuplex = c.duplex;
        if (c.option != nullptr) fresh.helper.features["KXAutoDuplexScaling"] = c.option;
        if (c.emulatedMargins) fresh.helper.features["KXEmulateTarnlowMargins"] = "TRUE";
        xlr::PluginDeviceState* state = EnableOther(fresh);
        ASSERT_NE(state, nullptr);
        EXPECT_EQ(state->autoDuplexScaling, c.expected);
        if (c.expected == 1) {
            EXPECT_EQ(state->printableWidth, 5100 - 300) << "scaling computes margins too";
        }
        xlr::DisableDeviceState(&fresh.devobj);
    }
}

TEST_F(DeviceEnableTest, CapabilitiesChangeUnidrvRecords) {
    xlr::SettingsRecord settings = device.Settings();
    settings.capabilityFlags = 0x80000 | 0x1000;
    settings.monochrome = 1;
    device.SetSettings(settings);
    device.helper.features["KXPngPassthrough"] = "TRUE";
    device.helper.features["ActualCustomRange"] = "100_2500_x";
    gdi.ulNumColors = 65536;
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(gdi.cBitsPixel, 8u);
    EXPECT_EQ(gdi.ulNumColors, 65535u);
    EXPECT_EQ(devInfo.flGraphicsCaps2 & 8u, 8u);
    EXPECT_EQ(state->pngPassThrough, 1);
    EXPECT_EQ(state->customRangeLow, 100);
    EXPECT_EQ(state->customRangeHigh, 2500);
}

TEST_F(DeviceEnableTest, RawSpoolingSetsDontJournalOnlyWhenAllowed) {
    device.helper.features["KXEnableRAWSpooling"] = "TRUE";
    xlr::SettingsRecord settings = device.Settings();
    settings.rawSpoolingCapable = 1;
    device.SetSettings(settings);
    devInfo.flGraphicsCaps = 0;
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(devInfo.flGraphicsCaps & 0x2000u, 0x2000u);
    xlr::DisableDeviceState(&device.devobj);

    settings.pagesPerSheet = 3;  // four pages a sheet need the journaled pages
    device.SetSettings(settings);
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(devInfo.flGraphicsCaps & 0x2000u, 0u);
}

TEST_F(DeviceEnableTest, HybridPathDecidesHowTheStateIsFound) {
    device.devobj.hPrinter = xltest::AddOpenedPrinter(u"Hybrid");
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(xlr::HybridPathFlag(), 0u);
    EXPECT_EQ(xlr::DeviceState(&device.devobj), state);
    xlr::DisableDeviceState(&device.devobj);

    xlplatform::FindPrinter(u"Hybrid")->SetData(u"HybridPathSupported", xlplatform::DwordValue(1));
    state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(xlr::HybridPathFlag(), 1u);
    xlr::HybridDeviceRecord record{nullptr, state};
    device.devobj.pdevOEM = &record;
    EXPECT_EQ(xlr::DeviceState(&device.devobj), state) << "the second word of the record";
    xlr::DisableDeviceState(&device.devobj);
    device.devobj.pdevOEM = nullptr;  // the record is not the plug-in's to clear
}

TEST_F(DeviceEnableTest, ResetCarriesTheDocumentAcross) {
    xlr::PluginDeviceState* old = Enable();
    ASSERT_NE(old, nullptr);
    old->pageCount = 4;
    old->jobId = 77;
    xltest::TempDir temp;
    const std::string capture = temp / "KX_1.tmp";
    std::ofstream(capture) << "job";
    old->captureActive = 1;
    std::strcpy(old->capturePath, capture.c_str());
    std::memcpy(old->documentName, u"Report", 14);
    old->watermarkPages[3].orientation = 2;
    old->jpegMode = 3;  // the device's own, read at its enable

    FakeDevice next;
    xlr::PluginDeviceState* fresh = EnableOther(next);
    ASSERT_NE(fresh, nullptr);
    // The new state takes the old device's command store in place of its own
    // (which goes; the sanitizer build sees a leak or a double destroy).
    xlr::CCmdStore* oldStore = xlr::CreateCommandStore(&device.devobj, old);
    ASSERT_NE(oldStore, nullptr);
    old->commandStore = oldStore;
    fresh->commandStore = xlr::CreateCommandStore(&next.devobj, fresh);
    xlr::ResetDeviceState(&device.devobj, &next.devobj);
    EXPECT_EQ(fresh->pageCount, 4u);
    EXPECT_EQ(fresh->jobId, 77u);
    EXPECT_EQ(fresh->captureActive, 1);
    EXPECT_STREQ(fresh->capturePath, capture.c_str());
    EXPECT_EQ(old->capturePath[0], 0) << "the capture file has one owner";
    EXPECT_EQ(std::u16string(fresh->documentName), u"Report");
    EXPECT_EQ(fresh->watermarkPages[3].orientation, 2);
    EXPECT_EQ(fresh->jpegMode, 0);
    EXPECT_EQ(fresh->driverHelper, &next.helper);
    EXPECT_EQ(fresh->commandStore, oldStore);
    EXPECT_EQ(old->commandStore, nullptr) << "one owner, so that it is destroyed once";
    EXPECT_EQ(oldStore->State(), fresh) << "the store serves the new state";
    xlr::DisableDeviceState(&device.devobj);
    EXPECT_TRUE(std::filesystem::exists(capture)) << "the old device's going keeps it";

    fresh->pageCount = 9;
    xlr::ResetDeviceState(nullptr, &next.devobj);
    xlr::ResetDeviceState(&device.devobj, nullptr);
    EXPECT_EQ(fresh->pageCount, 9u) << "a missing device copies nothing";

    // A new state without a store of its own takes the old one too: it carries
    // on the old device's two-pass document.
    FakeDevice third;
    xlr::PluginDeviceState* last = EnableOther(third);
    ASSERT_NE(last, nullptr);
    xlr::ResetDeviceState(&next.devobj, &third.devobj);
    EXPECT_EQ(last->commandStore, oldStore);
    EXPECT_EQ(fresh->commandStore, nullptr);
    xlr::DisableDeviceState(&next.devobj);
    EXPECT_EQ(oldStore->State(), last) << "disabling the old device left the store alone";
    EXPECT_TRUE(std::filesystem::exists(capture)) << "the capture file went on to the last device";
    xlr::DisableDeviceState(&third.devobj);
    EXPECT_FALSE(std::filesystem::exists(capture)) << "the last device's going deletes it";
}

}  // namespace
