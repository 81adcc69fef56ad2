// The DevMode method: the size query, defaults, Convert and Merge, the TrueType
// rule and the retention user name.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <printoem.h>
#include <xlplatform/world.h>

#include "job/names/name_recording.h"
#include "settings/devmode_handler.h"
#include "settings/packed_block.h"
#include "support/run_command.h"

namespace {

using xlr::PackedBlock;
using xlr::SettingsRecord;

DEVMODEW PublicDevMode() {
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmPaperWidth = 2100;
    dm.dmPaperLength = 2970;
    dm.dmCopies = 3;
    dm.dmCollate = DMCOLLATE_TRUE;
    dm.dmTTOption = DMTT_BITMAP;
    dm.dmColor = DMCOLOR_COLOR;
    dm.dmDuplex = DMDUP_VERTICAL;
    dm.dmDefaultSource = DMBIN_LOWER;
    dm.dmMediaType = DMMEDIA_GLOSSY;
    dm.dmICMMethod = 2;
    dm.dmICMIntent = 4;
    std::memcpy(dm.dmFormName, u"A4 with a long form name", 25 * sizeof(WCHAR));
    return dm;
}

class DevModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        xlplatform::ResetWorld();
        xlplatform::TheWorld().driveRoots['C'] = root_.path();
        xlplatform::TheWorld().userName = u"plainuser";
    }
    void TearDown() override { xlplatform::ResetWorld(); }

    xlr::NameRecorder names_;

    // Runs one DevMode call; the public device mode is dm for both in and out.
    bool Call(DWORD mode, const PackedBlock* in, PackedBlock& out, DEVMODEW& dm) {
        OEMDMPARAM param{};
        param.cbSize = sizeof param;
        param.pPublicDMIn = &dm;
        param.pPublicDMOut = &dm;
        param.pOEMDMIn = const_cast<PackedBlock*>(in);
        param.pOEMDMOut = &out;
        param.cbBufSize = sizeof(PackedBlock);
        return xlr::HandleDevMode(mode, &param, [this](SettingsRecord& record, HANDLE printer) {
            names_.Record(record, printer);
        });
    }

    std::unique_ptr<PackedBlock> Default(DEVMODEW dm) {
        auto block = std::make_unique<PackedBlock>();
        EXPECT_TRUE(Call(OEMDM_DEFAULT, nullptr, *block, dm));
        return block;
    }

    // A block made from a record that the test filled.
    static std::unique_ptr<PackedBlock> Packed(const SettingsRecord& record) {
        auto block = std::make_unique<PackedBlock>();
        EXPECT_TRUE(xlr::Pack(record, *block));
        return block;
    }

    static SettingsRecord Unpacked(const PackedBlock& block) {
        xlr::UnpackedSettings settings(&block);
        EXPECT_TRUE(settings);
        return settings ? *settings : SettingsRecord{};
    }

    // The record Default makes from the sample public device mode.
    std::unique_ptr<SettingsRecord> DefaultRecord() {
        return std::make_unique<SettingsRecord>(Unpacked(*Default(PublicDevMode())));
    }

    // Runs Merge or Convert on `in`, with `dm` as public device mode; the record made.
    SettingsRecord Run(DWORD mode, const SettingsRecord& in, DEVMODEW& dm) {
        auto out = std::make_unique<PackedBlock>();
        EXPECT_TRUE(Call(mode, Packed(in).get(), *out, dm));
        return Unpacked(*out);
    }

    xltest::TempDir root_;
};

TEST_F(DevModeTest, SizeQueryAndBufferChecks) {
    OEMDMPARAM param{};
    EXPECT_TRUE(xlr::HandleDevMode(OEMDM_SIZE, &param, nullptr));
    EXPECT_EQ(param.cbBufSize, 7180u);

    DEVMODEW dm = PublicDevMode();
    auto block = std::make_unique<PackedBlock>();
    param = {};
    param.pPublicDMIn = &dm;
    param.pOEMDMOut = block.get();
    param.cbBufSize = 7179;
    SetLastError(0);
    EXPECT_FALSE(xlr::HandleDevMode(OEMDM_DEFAULT, &param, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    EXPECT_FALSE(xlr::HandleDevMode(OEMDM_SIZE, nullptr, nullptr));
    param.cbBufSize = 7180;
    EXPECT_FALSE(xlr::HandleDevMode(9, &param, nullptr));
}

TEST_F(DevModeTest, DefaultsComeFromThePublicDeviceMode) {
    const SettingsRecord r = Unpacked(*Default(PublicDevMode()));
    EXPECT_EQ(r.orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(r.duplex, DMDUP_VERTICAL);
    EXPECT_EQ(r.scale, 100);
    EXPECT_EQ(r.copies, 3);
    EXPECT_EQ(r.ttOption, DMTT_BITMAP);
    EXPECT_EQ(r.paperSize, DMPAPER_A4);
    EXPECT_EQ(r.paperWidth, 2100);
    EXPECT_EQ(r.icmIntent, 4u);
    EXPECT_EQ(std::u16string(r.formName, 16), u"A4 with a long f") << "the first 16 units";
    EXPECT_EQ(r.printProcessorClass, 1u);
    EXPECT_EQ(r.triple116[2], 0xFFFFFFFFu);
    EXPECT_EQ(r.noImageSender, 0u) << "colour allows the image sender";
    EXPECT_EQ(r.word132, 6u);
    EXPECT_EQ(r.pagesPerSheet, 1u);
    EXPECT_EQ(r.words7476[24], 1u);
    EXPECT_EQ(r.duplicateAction, 1u);
    EXPECT_EQ(r.firstPageSource, static_cast<uint32_t>(DMBIN_LOWER));
    EXPECT_EQ(r.mediaPairs[3][1], DMMEDIA_GLOSSY);
    EXPECT_EQ(r.word3100, -1);
    EXPECT_EQ(r.defaultSource, static_cast<uint32_t>(DMBIN_LOWER));
    EXPECT_EQ(r.word6160, 100u);
    EXPECT_EQ(r.ttAsBitmap, 2u);
    EXPECT_EQ(r.word7456, 0xFFFFFFFFu);
    EXPECT_EQ(std::memcmp(r.token9780, "XLR-SETTINGS-V20", 16), 0);
    EXPECT_EQ(r.retentionUserName[0], 0) << "Default does not record a user";

    DEVMODEW mono = PublicDevMode();
    mono.dmColor = DMCOLOR_MONOCHROME;
    EXPECT_EQ(Unpacked(*Default(mono)).noImageSender, 1u);
}

TEST_F(DevModeTest, PaperRegionFollowsTheLocaleCountry) {
    const std::pair<std::u16string, uint32_t> cases[] = {
        {u"1", 0},  {u"0", 0},   {u"2", 0},   {u"3", 1},   {u"44", 1},  {u"50", 0}, {u"59", 0},
        {u"60", 1}, {u"499", 1}, {u"500", 0}, {u"599", 0}, {u"600", 1}, {u"", 1},   {u"1x", 1},
    };
    for (const auto& [country, region] : cases) {
        xlplatform::TheWorld().localeCountry = country;
        EXPECT_EQ(Unpacked(*Default(PublicDevMode())).paperRegion, region)
            << xlplatform::Utf16ToUtf8(country);
    }
}

TEST_F(DevModeTest, MergeCarriesGroupsOverButNotTheConvertOnlyText) {
    auto input = DefaultRecord();
    input->pdlIndex = 2;
    input->outputMode = 3;
    input->pagesPerSheet = 5;
    input->retentionMode = 2;
    input->jobRetention = 1;
    input->imageShiftFrontX = 1.5f;
    input->watermark.enabled = 1;
    std::memcpy(input->watermark.text, u"DRAFT", 12);
    std::memcpy(input->text9204, u"convert only", 26);
    std::memcpy(input->appUserName, u"alice", 12);
    std::memcpy(input->appDomain, u"CORP", 10);
    input->word1820 = 7;  // not carried by its group
    for (DWORD mode : {OEMDM_MERGE, OEMDM_CONVERT}) {
        SCOPED_TRACE(mode);
        DEVMODEW dm = PublicDevMode();
        const SettingsRecord r = Run(mode, *input, dm);
        EXPECT_EQ(r.pdlIndex, 2u);
        EXPECT_EQ(r.outputMode, 3u);
        EXPECT_EQ(r.pagesPerSheet, 5u);
        EXPECT_EQ(r.retentionMode, 2u);
        EXPECT_EQ(r.imageShiftFrontX, 1.5f);
        EXPECT_EQ(r.watermark.enabled, 1);
        EXPECT_EQ(std::u16string(r.watermark.text), u"DRAFT");
        EXPECT_EQ(std::u16string(r.appUserName), u"alice");
        EXPECT_EQ(std::u16string(r.appDomain), u"CORP") << "the job keeps who printed it";
        EXPECT_EQ(r.word1820, 0u);
        EXPECT_EQ(std::u16string(r.text9204), mode == OEMDM_CONVERT ? u"convert only" : u"");
    }
}

TEST_F(DevModeTest, ForeignVersionIsNotCopied) {
    auto input = DefaultRecord();
    input->pdlIndex = 2;
    input->pagesPerSheet = 5;
    input->ttAsBitmap = 9;
    input->watermark.enabled = 1;
    auto inBlock = Packed(*input);
    inBlock->version = 0x00010013;
    DEVMODEW dm = PublicDevMode();
    auto out = std::make_unique<PackedBlock>();
    ASSERT_TRUE(Call(OEMDM_MERGE, inBlock.get(), *out, dm));
    const SettingsRecord r = Unpacked(*out);
    EXPECT_EQ(r.version, 0x00010014u);
    EXPECT_EQ(r.pdlIndex, 0u);
    EXPECT_EQ(r.pagesPerSheet, 1u) << "the step's default";
    EXPECT_EQ(r.ttAsBitmap, 2u) << "the record's default";
    EXPECT_EQ(r.watermark.enabled, 0);
    EXPECT_EQ(r.orientation, DMORIENT_LANDSCAPE) << "reconciled with the public device mode";
}

TEST_F(DevModeTest, TrueTypeAsBitmapBecomesDownloadForSomePdls) {
    struct Case {
        uint32_t ttAsBitmap;
        uint32_t pdl;
        short ttOption;
        short expected;
    };
    const Case cases[] = {
        {2, 1, DMTT_BITMAP, DMTT_DOWNLOAD}, {2, 2, DMTT_BITMAP, DMTT_DOWNLOAD},
        {2, 5, DMTT_BITMAP, DMTT_DOWNLOAD}, {2, 3, DMTT_BITMAP, DMTT_BITMAP},
        {1, 2, DMTT_BITMAP, DMTT_BITMAP},   {2, 2, DMTT_SUBDEV, DMTT_SUBDEV},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ttAsBitmap << "/" << c.pdl << "/" << c.ttOption);
        auto input = DefaultRecord();
        input->ttAsBitmap = c.ttAsBitmap;
        input->pdlIndex = c.pdl;
        DEVMODEW dm = PublicDevMode();
        dm.dmTTOption = c.ttOption;
        Run(OEMDM_CONVERT, *input, dm);
        EXPECT_EQ(dm.dmTTOption, c.expected);
    }
}

TEST_F(DevModeTest, PageSetupSpecialCases) {
    auto input = DefaultRecord();
    input->pdlIndex = 3;
    input->scalePercent = 150;
    input->paperSize = DMPAPER_A4;
    DEVMODEW dm = PublicDevMode();
    dm.dmPaperSize = 512;  // a driver-defined paper
    EXPECT_EQ(Run(OEMDM_MERGE, *input, dm).paperSize, 512);
    EXPECT_EQ(dm.dmScale, 150) << "the PDL 3 scale comes from the record";
}

TEST_F(DevModeTest, TextFieldsAreBoundedAndTerminated) {
    auto input = DefaultRecord();
    for (auto& unit : input->deviceIdentity) unit = u'x';  // no terminator at all
    for (auto& unit : input->watermark.text) unit = u'w';
    std::memset(input->appFileName, 'a', sizeof input->appFileName);
    DEVMODEW dm = PublicDevMode();
    const SettingsRecord r = Run(OEMDM_MERGE, *input, dm);
    EXPECT_EQ(std::u16string(r.deviceIdentity).size(), 255u);
    EXPECT_EQ(std::u16string(r.watermark.text).size(), 255u);
    EXPECT_EQ(std::string(r.appFileName).size(), 14u);
}

TEST_F(DevModeTest, BadInputBlocksFail) {
    DEVMODEW dm = PublicDevMode();
    auto out = std::make_unique<PackedBlock>();
    EXPECT_FALSE(Call(OEMDM_MERGE, nullptr, *out, dm));
    auto bad = Default(PublicDevMode());
    bad->payload[5] ^= 0xFF;
    SetLastError(0);
    EXPECT_FALSE(Call(OEMDM_CONVERT, bad.get(), *out, dm));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}

TEST_F(DevModeTest, RetentionUserNameSources) {
    const auto inBlock = Default(PublicDevMode());
    auto mergeName = [&] {
        DEVMODEW dm = PublicDevMode();
        auto out = std::make_unique<PackedBlock>();
        EXPECT_TRUE(Call(OEMDM_MERGE, inBlock.get(), *out, dm));
        return std::u16string(Unpacked(*out).retentionUserName);
    };
    EXPECT_EQ(mergeName(), u"PLAINUSER") << "the logged-on user, upper case";

    xlplatform::TheWorld().environment[u"nwusername"] = u"Env.User";
    EXPECT_EQ(mergeName(), u"ENV.USER") << "the environment comes before the login";

    const std::string windows = root_.path() + "/Windows";
    std::filesystem::create_directories(windows);
    std::ofstream(windows + "/kxmnwun.ini")
        << "[NWUSERNAME]\r\nNWUSERNAME=twentycharactersname\r\n";
    EXPECT_EQ(mergeName(), u"TWENTYCHARACTERS") << "the INI file first, cut to 16";

    auto fixed = std::make_unique<SettingsRecord>(Unpacked(*inBlock));
    fixed->userNameFixed = 1;
    std::memcpy(fixed->retentionUserName, u"KEEP", 10);
    DEVMODEW dm = PublicDevMode();
    EXPECT_EQ(std::u16string(Run(OEMDM_MERGE, *fixed, dm).retentionUserName), u"KEEP");
}

}  // namespace
