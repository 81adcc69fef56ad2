// DrvEscape and the command callbacks: the bytes they write and the values they
// answer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <winspool.h>
#include <xlplatform/world.h>

#include "frame/command_callbacks.h"
#include "frame/hooks.h"
#include "frame/plugin_fixtures.h"
#include "job/job_retention.h"
#include "settings/media/media_lists.h"
#include "settings/opened_printer.h"

namespace {

ULONG UnidrvEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) {
    return 77;
}

class EscapeTest : public xltest::EnabledDeviceTest {
  protected:
    void SetUp() override {
        EnabledDeviceTest::SetUp();
        unidrvFunctions = {{INDEX_DrvEscape, FunctionCast<PFN>(&UnidrvEscape)}};
    }

    ULONG Escape(ULONG code, std::vector<BYTE> in, ULONG outSize = 0, void* out = nullptr) {
        return xlr::DrvEscape(&surface, code, static_cast<ULONG>(in.size()),
                              in.empty() ? nullptr : in.data(), outSize, out);
    }

    static std::vector<BYTE> Word(ULONG value) {
        std::vector<BYTE> bytes(4);
        std::memcpy(bytes.data(), &value, 4);
        return bytes;
    }
};

TEST_F(EscapeTest, PassThroughWithTheFeature) {
    device.helper.features["KXPCL6PassThrough"] = "On";
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, {}), 1u);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, Word(PASSTHROUGH)), 1u);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, Word(GETTECHNOLOGY)), 1u);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, Word(4242)), 77u) << "Unidrv answers the rest";
    // The count word says how many bytes go through, never more than follow it.
    const struct {
        std::vector<BYTE> in;
        std::string sent;
    } kPassThrough[] = {
        {{0x05, 0x00, 0x41, 0x42, 0x43, 0x45, 0x46},
         std::string("\xBF\xFA\x05\x00\x00\x00\x41\x42\x43\x45\x46", 11)},
        {{0x02, 0x00, 0x41, 0x42, 0x43, 0x00}, std::string("\xBF\xFA\x02\x00\x00\x00\x41\x42", 8)},
        {{0x09, 0x00, 0x41}, std::string("\xBF\xFA\x01\x00\x00\x00\x41", 7)},
        {{0x00, 0x00, 0x41}, std::string("\xBF\xFA\x00\x00\x00\x00", 6)},
    };
    for (const auto& test : kPassThrough) {
        device.helper.spooled.clear();
        EXPECT_EQ(Escape(PASSTHROUGH, test.in), 1u);
        EXPECT_EQ(device.helper.spooled, test.sent) << test.in.size() << " bytes in";
    }
    device.helper.failSpoolWrites = true;
    EXPECT_EQ(Escape(PASSTHROUGH, {0x01, 0x00, 0x41}), 0u) << "a failed spool write is reported";
}

TEST_F(EscapeTest, PassThroughWithoutTheFeatureIsDropped) {
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, {}), 1u);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, Word(PASSTHROUGH)), 0u);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, Word(GETTECHNOLOGY)), 77u);
    EXPECT_EQ(Escape(PASSTHROUGH, {0x05, 0x00, 0x41, 0x42, 0x43, 0x45, 0x46}), 1u);
    EXPECT_TRUE(device.helper.spooled.empty());
}

TEST_F(EscapeTest, TechnologyNeedsRoomForItsTerminator) {
    ASSERT_NE(Enable(), nullptr);
    char out[8];
    std::memset(out, 'z', sizeof out);
    EXPECT_EQ(Escape(GETTECHNOLOGY, {}, 6, out), 0u);
    EXPECT_EQ(out[0], 'z');
    EXPECT_EQ(Escape(GETTECHNOLOGY, {}, 7, out), 1u);
    EXPECT_EQ(std::string(out, 7), std::string("PCL XL\0", 7));
    EXPECT_EQ(Escape(GETTECHNOLOGY, {}, 7, nullptr), 0u);
}

TEST_F(EscapeTest, WatermarkEscapeTakesExactlyFiveHundredBytes) {
    xlr::SettingsRecord settings = device.Settings();
    settings.pagesPerSheet = 3;  // four logical pages
    device.SetSettings(settings);
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    std::vector<BYTE> in(500, 0);
    auto put = [&](size_t word, uint32_t value) { std::memcpy(in.data() + word * 4, &value, 4); };
    put(0, 10), put(1, 20), put(2, 4800), put(3, 6400);
    put(5, 4);
    const float scale = 0.5f;
    std::memcpy(in.data() + 8 * 4, &scale, 4);
    put(9, 1), put(11, 1);
    for (uint32_t page = 0; page < 5; ++page) {
        put(13 + page * 7, page + 1);
        put(13 + page * 7 + 1, 100 * page);
        put(13 + page * 7 + 5, 0xABCD0002);
    }
    std::vector<BYTE> short499(in.begin(), in.end() - 1);
    EXPECT_EQ(Escape(3883, short499), 1u);
    EXPECT_EQ(state->watermarkCount, 0) << "499 bytes change nothing";
    EXPECT_EQ(Escape(3883, in), 1u);
    EXPECT_EQ(state->watermarkFrame[2], 4800);
    EXPECT_EQ(state->watermarkCount, 4);
    EXPECT_EQ(state->watermarkScale, 0.5f);
    EXPECT_EQ(state->speedMechMode, 1);
    EXPECT_EQ(state->watermarkPages[3].ordinal, 4);
    EXPECT_EQ(state->watermarkPages[3].box[0], 300);
    EXPECT_EQ(state->watermarkPages[3].orientation, 2) << "the low 16 bits";
    EXPECT_EQ(state->watermarkPages[4].ordinal, 0) << "only as many pages as the sheet holds";
}

TEST_F(EscapeTest, PageGeometryAndJobInformation) {
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    state->printableWidth = 4800, state->printableHeight = 6400, state->marginX = 150;
    state->marginY = 100, state->physOffsetX = 100, state->physOffsetY = 90;
    int32_t out[6] = {};
    EXPECT_EQ(Escape(3881, {}, 23, out), 0u) << "24 bytes are needed";
    EXPECT_EQ(Escape(3881, {}, 24, out), 1u);
    EXPECT_EQ(std::vector<int32_t>(out, out + 6),
              (std::vector<int32_t>{4800, 6400, 150, 100, 100, 90}));

    std::vector<BYTE> job(14 * 4, 0);
    const uint32_t values[][2] = {{0, 1}, {12, 5}, {13, 1}};
    for (const auto& [word, value] : values) std::memcpy(job.data() + word * 4, &value, 4);
    EXPECT_EQ(Escape(3882, job), 1u);
    EXPECT_EQ(state->suppressOutput, 1);
    EXPECT_EQ(state->speedMechFlags, 5);
    EXPECT_EQ(state->speedMechSimplex, 1);
    EXPECT_EQ(Escape(3882, {1, 0}), 1u) << "a short input reads as zeros, never past its end";
    EXPECT_EQ(state->suppressOutput, 0);
}

// Escapes 3880 and 3900 run the media checks first: the printer's lists make
// this letter-size duplex job manual and its paper a constrained form.
TEST_F(EscapeTest, FinishingAndJobStorageRecordsFollowTheMediaChecks) {
    xlplatform::Printer printer;
    printer.name = u"Laser";
    const uint32_t media[] = {device.publicDevMode.dmMediaType};
    const uint32_t forms[] = {DMPAPER_LETTER};
    printer.SetData(u"KXMediaTypeCountRegKey", xlplatform::DwordValue(1));
    printer.SetData(u"KXMediaTypeInfoRegKey",
                    xlplatform::BinaryValue({reinterpret_cast<const BYTE*>(media), 4}));
    printer.SetData(u"KXConstraintFormCount", xlplatform::DwordValue(1));
    printer.SetData(u"KXCONSTRAINTFORMINFOREGDATA",
                    xlplatform::BinaryValue({reinterpret_cast<const BYTE*>(forms), 4}));
    device.devobj.hPrinter = xltest::AddOpenedPrinter(printer);
    xlr::SettingsRecord settings = device.Settings();
    settings.manualDuplexAvailable = 1;
    settings.duplex = DMDUP_VERTICAL;
    settings.jobRetention = 1;
    settings.retentionMode = 2;
    device.SetSettings(settings);
    device.helper.features["ManualDuplex"] = "TRUE";
    device.helper.features["JobRetention"] = "INSTALLED";
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    state->alternateLetterhead = 1;

    xlr::FinishingInformation finishing;
    std::memset(&finishing, 0xAB, sizeof finishing);
    EXPECT_EQ(Escape(3880, {}, sizeof finishing - 1, &finishing), 1u);
    EXPECT_EQ(finishing.size, 0xABABABABu) << "a short buffer is left alone";
    EXPECT_EQ(Escape(3880, {}, sizeof finishing, &finishing), 1u);
    EXPECT_EQ(finishing.size, 20u);
    EXPECT_EQ(finishing.manualDuplex, 1u);
    EXPECT_EQ(finishing.mediaManualDuplex, 1u);
    EXPECT_EQ(finishing.alternateLetterhead, 0u);
    EXPECT_EQ(finishing.constrainedForm, 1u);
    EXPECT_EQ(state->mediaManualDuplex, 1);

    xlr::JobStorageInformation storage{};
    EXPECT_EQ(Escape(3900, {}, 0, &storage), 1u) << "no output: nothing to answer";
    EXPECT_EQ(Escape(3900, {}, sizeof storage - 1, &storage), 0u);
    EXPECT_EQ(storage.size, 0u);
    EXPECT_EQ(Escape(3900, {}, sizeof storage, &storage), 1u);
    EXPECT_EQ(storage.size, 16u);
    EXPECT_EQ(storage.retentionInstalled, 1u);
    EXPECT_EQ(storage.retentionMode, 2u);
    EXPECT_EQ(storage.manualDuplex, 1u);
    ClosePrinter(device.devobj.hPrinter);
}

TEST_F(EscapeTest, NoDeviceOrSettingsIsInvalidData) {
    SURFOBJ orphan{};
    SetLastError(0);
    EXPECT_EQ(xlr::DrvEscape(&orphan, GETTECHNOLOGY, 0, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    ASSERT_NE(Enable(), nullptr);
    device.privateDevMode->signature = 0;
    SetLastError(0);
    EXPECT_EQ(Escape(QUERYESCSUPPORT, {}), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}

class CallbackTest : public EscapeTest {
  protected:
    std::string Callback(DWORD id) {
        device.helper.spooled.clear();
        xlr::HandleCommandCallback(&device.devobj, id, 0, nullptr);
        return device.helper.spooled;
    }
};

TEST_F(CallbackTest, OrientationOfBeginPage) {
    struct Case {
        short orientation;
        uint32_t rotate180;
        const char* expected;
    };
    const Case cases[] = {
        {DMORIENT_PORTRAIT, 0, "\xC0\x00\xF8\x28"},
        {DMORIENT_PORTRAIT, 1, "\xC0\x02\xF8\x28"},
        {DMORIENT_LANDSCAPE, 0, "\xC0\x01\xF8\x28"},
        {DMORIENT_LANDSCAPE, 1, "\xC0\x03\xF8\x28"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.orientation << "/" << c.rotate180);
        xlr::SettingsRecord settings = device.Settings();
        settings.rotate180 = c.rotate180;
        device.SetSettings(settings);
        device.publicDevMode.dmOrientation = c.orientation;
        xlr::PluginDeviceState* state = Enable();
        ASSERT_NE(state, nullptr);
        EXPECT_EQ(Callback(2), std::string(c.expected, 4));
        EXPECT_EQ(state->lastOrientation, c.orientation);
        xlr::DisableDeviceState(&device.devobj);
    }
}

TEST_F(CallbackTest, ManualDuplexTurnsTwoUpPages) {
    device.helper.features["ManualDuplex"] =
        "TRUE";  // else enable clears the job's manual duplexing
    xlr::SettingsRecord settings = device.Settings();
    settings.manualDuplex = 1;
    settings.pagesPerSheet = 2;  // two logical pages
    settings.bindingEdge = 1;
    device.SetSettings(settings);
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(Callback(2), std::string("\xC0\x02\xF8\x28", 4))
        << "turned portrait, two-up: flipped";
}

TEST_F(CallbackTest, PageModeOfBeginPage) {
    xlr::PluginDeviceState* state = Enable();
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(Callback(20), std::string("\xC0\x00\xF8\x34", 4)) << "simplex";
    device.publicDevMode.dmDuplex = DMDUP_VERTICAL;
    EXPECT_EQ(Callback(20), std::string("\xC0\x01\xF8\x35", 4)) << "long edge, portrait content";
    device.publicDevMode.dmDuplex = DMDUP_HORIZONTAL;
    EXPECT_EQ(Callback(20), std::string("\xC0\x00\xF8\x35", 4));
    state->jobDataType = 2;
    state->pageCount = 1;
    device.publicDevMode.dmOrientation = DMORIENT_LANDSCAPE;
    Callback(20);
    EXPECT_EQ(device.publicDevMode.dmDuplex, DMDUP_HORIZONTAL)
        << "a raw one-up duplex job binds landscape pages on the short edge";
    EXPECT_EQ(state->savedOrientation, DMORIENT_LANDSCAPE);
}

TEST_F(CallbackTest, NothingAndMissingPieces) {
    ASSERT_NE(Enable(), nullptr);
    EXPECT_EQ(Callback(7), "");
    EXPECT_EQ(Callback(12), "@PJL SET PLANESINUSE=1\n") << "job control reaches the composers";
    EXPECT_EQ(Callback(999), "") << "no XML configuration";
    device.devobj.pPublicDM = nullptr;
    SetLastError(0);
    EXPECT_EQ(Callback(2), "");
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}

TEST_F(CallbackTest, ConfiguredCommandsSendDollarsAsZeroBytes) {
    xlr::WriteConfiguredCommand(&device.devobj, "AB$C");
    EXPECT_EQ(device.helper.spooled, std::string("AB\0C", 4));
}

}  // namespace
