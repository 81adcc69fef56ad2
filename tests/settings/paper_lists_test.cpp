// Paper, media and form lists: the checks that switch a job to manual duplexing
// or turn alternate letterhead off, the device-capability retries, custom sizes
// and their twins, and emulated margins.
#include <winspool.h>

#include <cstring>

#include "platform/world_fixture.h"
#include "settings/device_capabilities.h"
#include "settings/media/custom_paper_sizes.h"
#include "settings/media/emulated_margins.h"
#include "settings/media/media_checks.h"
#include "settings/opened_printer.h"
#include "settings/xml/xml_config.h"

using namespace xlr;

namespace {

constexpr DWORD kCardStock = 260;  // a media type the duplexer cannot take
constexpr short kUserForm = 300;   // a paper number of a user-defined form
constexpr short kA3 = DMPAPER_A3;  // 8
constexpr short kA4 = DMPAPER_A4;  // 9

xlplatform::RegistryValue Numbers(std::initializer_list<uint32_t> numbers) {
    std::vector<BYTE> bytes(numbers.size() * 4);
    std::memcpy(bytes.data(), std::data(numbers), bytes.size());
    return xlplatform::BinaryValue(bytes);
}

class PaperListsTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        xlplatform::Printer printer;
        printer.name = u"Laser";
        printer.paperNumbers = {DMPAPER_LETTER, kA4, kA3, static_cast<WORD>(kUserForm)};
        printer.paperNames = {u"Letter", u"A4", u"A3", u"Poster 300"};
        printer.forms.push_back({FORM_USER, u"Poster 300", {300000, 400000}, {}});
        handle = xltest::AddOpenedPrinter(printer);
        laser = xlplatform::FindPrinter(u"Laser");
        xlplatform::TheWorld().sleep = [this](DWORD ms) { sleeps.push_back(ms); };
        Fresh();
    }

    // A duplex A4 job on plain paper for which manual duplexing is available,
    // and a printer without lists.
    void Fresh() {
        laser->data.clear();
        letterhead = 1;
        settings = {};
        settings.manualDuplexAvailable = 1;
        settings.duplex = DMDUP_VERTICAL;
        devmode = {};
        devmode.dmPaperSize = kA4;
        devmode.dmPaperWidth = 2100;
        devmode.dmPaperLength = 2970;
        devmode.dmMediaType = DMMEDIA_STANDARD;
        devmode.dmOrientation = DMORIENT_PORTRAIT;
    }

    // Runs the checks; answers whether the job went to manual duplexing (both
    // flags must agree) and leaves the letterhead flag in `letterhead`.
    bool Run() {
        int32_t mediaManualDuplex = 0;
        RunPaperAndMediaChecks(handle, settings, devmode, {mediaManualDuplex, letterhead});
        EXPECT_EQ(mediaManualDuplex == 1, settings.manualDuplex == 1);
        return mediaManualDuplex == 1;
    }

    xlplatform::Printer* laser = nullptr;
    HANDLE handle = nullptr;
    SettingsRecord settings;
    DEVMODEW devmode;
    int32_t letterhead = 1;
    std::vector<DWORD> sleeps;
};

TEST_F(PaperListsTest, MediaTypesThatNeedManualDuplexing) {
    laser->SetData(u"KXMediaTypeCountRegKey", xlplatform::DwordValue(2));
    laser->SetData(u"KXMediaTypeInfoRegKey", Numbers({270, kCardStock}));
    EXPECT_FALSE(Run());

    // A media type chosen for some pages only counts as much as the job's own.
    settings.otherPagesMediaType = kCardStock;
    EXPECT_TRUE(Run());

    const struct {
        const char* name;
        void (*change)(SettingsRecord&, DEVMODEW&);
        bool switched;
    } cases[] = {
        {"job's media type", [](SettingsRecord&, DEVMODEW& dm) { dm.dmMediaType = kCardStock; },
         true},
        {"insert media type", [](SettingsRecord& s, DEVMODEW&) { s.insertMediaType = kCardStock; },
         true},
        {"third page range", [](SettingsRecord& s, DEVMODEW&) { s.mediaPairs[2][1] = kCardStock; },
         true},
        {"fourth page range (not read)",
         [](SettingsRecord& s, DEVMODEW&) { s.mediaPairs[3][1] = kCardStock; }, false},
        {"manual duplexing unavailable",
         [](SettingsRecord& s, DEVMODEW& dm) {
             dm.dmMediaType = kCardStock;
             s.manualDuplexAvailable = 0;
         },
         false},
        {"simplex job",
         [](SettingsRecord& s, DEVMODEW& dm) {
             dm.dmMediaType = kCardStock;
             s.duplex = DMDUP_SIMPLEX;
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        laser->SetData(u"KXMediaTypeCountRegKey", xlplatform::DwordValue(2));
        laser->SetData(u"KXMediaTypeInfoRegKey", Numbers({270, kCardStock}));
        c.change(settings, devmode);
        EXPECT_EQ(Run(), c.switched);
    }

    // A list shorter than its count holds only what it holds; an absurd count
    // is not allocated.
    Fresh();
    laser->SetData(u"KXMediaTypeCountRegKey", xlplatform::DwordValue(3));
    laser->SetData(u"KXMediaTypeInfoRegKey", Numbers({270}));
    EXPECT_FALSE(Run());  // the zero-filled rest would match a record's empty slots
    laser->SetData(u"KXMediaTypeCountRegKey", xlplatform::DwordValue(0x40000000));
    devmode.dmMediaType = 270;
    EXPECT_FALSE(Run());
}

TEST_F(PaperListsTest, FormsThatNeedManualDuplexing) {
    // Step 1: the paper number is in the form list.
    laser->SetData(u"KXFormCount", xlplatform::DwordValue(1));
    laser->SetData(u"KXFORMINFOREGDATA", Numbers({static_cast<uint32_t>(kA4)}));
    EXPECT_TRUE(Run());

    // Step 3: a user-defined form, found through the paper lists and the forms.
    Fresh();
    devmode.dmPaperSize = kUserForm;
    EXPECT_TRUE(Run());
    Fresh();
    devmode.dmPaperSize = kA3;  // a built-in form
    EXPECT_FALSE(Run());

    // With custom sizes listed, they alone decide: the user-defined form they do
    // not cover stays automatic.
    Fresh();
    laser->SetData(u"KXCustomPaperSizeCount", xlplatform::DwordValue(1));
    laser->SetData(u"KXCustomPaperSizeDimensions", xlplatform::StringValue(u"100x100_150x150"));
    devmode.dmPaperSize = kUserForm;
    devmode.dmPaperWidth = 3000;
    devmode.dmPaperLength = 4000;
    EXPECT_FALSE(Run());

    // A3 is tested as its half-size twin A4.
    laser->SetData(u"KXCustomPaperSizeDimensions",
                   xlplatform::StringValue(u"bad^100x100_150x150^200.5x290_211x298"));
    devmode.dmPaperSize = kA3;
    devmode.dmPaperWidth = 2970;
    devmode.dmPaperLength = 4200;
    EXPECT_TRUE(Run());

    // The layout word at 1,820 keeps the form check from running.
    Fresh();
    laser->SetData(u"KXFormCount", xlplatform::DwordValue(1));
    laser->SetData(u"KXFORMINFOREGDATA", Numbers({static_cast<uint32_t>(kA4)}));
    settings.word1820 = 1;
    EXPECT_FALSE(Run());
}

TEST_F(PaperListsTest, ConstrainedFormsTurnAlternateLetterheadOff) {
    laser->SetData(u"KXConstraintFormCount", xlplatform::DwordValue(2));
    laser->SetData(u"KXCONSTRAINTFORMINFOREGDATA", Numbers({DMPAPER_LETTER, kA4}));
    settings.manualDuplexAvailable = 0;  // that check has no preconditions
    EXPECT_FALSE(Run());
    EXPECT_EQ(letterhead, 0);

    letterhead = 1;
    devmode.dmPaperSize = kA3;
    Run();
    EXPECT_EQ(letterhead, 1);
}

TEST_F(PaperListsTest, CapabilityReadsRetryABusySpooler) {
    laser->busyCapabilityCalls = 3;
    const auto names = BGetPaperSizeNames(u"Laser", u"LPT1:", &devmode);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->at(3), u"Poster 300");
    EXPECT_EQ(sleeps, std::vector<DWORD>({500, 500, 500}));

    // Four retries, then the read fails.
    sleeps.clear();
    laser->busyCapabilityCalls = 5;
    EXPECT_FALSE(BGetMediaTypeIndices(u"Laser", u"LPT1:", &devmode).has_value());
    EXPECT_EQ(sleeps.size(), 4u);
    EXPECT_EQ(laser->busyCapabilityCalls, 0);
}

TEST(CustomPaperSizeTest, EntriesAndTwins) {
    const struct {
        std::u16string_view entry;
        bool valid;
    } entries[] = {
        {u"100x100_150x150", true},
        {u"100_100_150_150", true},
        {u"200.5x290x211x298", true},
        {u"100x100_150", false},
        {u"1x2x3x4x5", false},
        {u"ax1x2x3", false},
        {u"", false},
    };
    for (const auto& c : entries)
        EXPECT_EQ(ParseCustomSizeRange(c.entry).has_value(), c.valid)
            << xlplatform::Utf16ToUtf8(c.entry);
    const CustomSizeRange range = *ParseCustomSizeRange(u"150x150_100x100");  // bounds in any order
    EXPECT_TRUE(range.Covers(100, 150));
    EXPECT_FALSE(range.Covers(99.99, 120));

    std::vector<std::u16string> names = {u"Tabloid", u"11x17", u"Letter", u"A3"};
    std::vector<FORM_INFO_1W> forms = {
        {FORM_BUILTIN, names[0].data(), {279400, 431800}, {}},
        {FORM_BUILTIN, names[1].data(), {279400, 431800}, {}},
        {FORM_BUILTIN, names[2].data(), {215900, 279400}, {}},
        {FORM_BUILTIN, names[3].data(), {297000, 420000}, {}},
    };
    const struct {
        PaperSize paper;
        LONG width, length;
    } twins[] = {
        {{2794, 4318}, 2159, 2794},  // Tabloid's twin is Letter (names compared without case)
        {{2970, 4200}, 2970, 4200},  // A3's twin A4 is not among these forms
        {{2159, 2794}, 2159, 2794},  // Letter has no twin
        {{1000, 1000}, 1000, 1000},  // no form of that size
    };
    for (const auto& c : twins) {
        const PaperSize twin = TwinOrSelf(c.paper, forms);
        EXPECT_EQ(twin.width, c.width);
        EXPECT_EQ(twin.length, c.length);
    }
    forms.resize(1);  // one form has no twin
    EXPECT_EQ(TwinOrSelf({2794, 4318}, forms).width, 2794);
}

TEST_F(PaperListsTest, EmulatedMarginsFromTheSwitch) {
    WriteFile(Root("config/margins.xml"), R"(<device><software><component><name>Verno</name>
<helper><features><feature><name>KX_Emulate_Margins</name><switch><name>Paper_Dimensions</name>
  <case><name>210.00x297.00</name><data>120_240 360 480</data></case>
  <case><name>215.90x279.40</name><data>1_2_3</data></case>
</switch></feature></features></helper></component></software></device>)");
    const CKXXmlConfig config(u"C:\\config\\margins.xml");
    ASSERT_TRUE(config.Usable());

    EXPECT_EQ(MarginCaseName(devmode), u"210.00x297.00");
    const struct {
        short orientation;
        std::optional<POINTL> offset;
    } cases[] = {
        {DMORIENT_PORTRAIT, POINTL{60, 60}},    // 120 × 600/1200, 240 × 300/1200
        {DMORIENT_LANDSCAPE, POINTL{90, 240}},  // 360 × 300/1200, 480 × 600/1200
    };
    for (const auto& c : cases) {
        devmode.dmOrientation = c.orientation;
        const auto offset = EmulatedPageOffset(config, devmode, 600, 300);
        ASSERT_TRUE(offset.has_value());
        EXPECT_EQ(offset->x, c.offset->x);
        EXPECT_EQ(offset->y, c.offset->y);
    }
    devmode.dmPaperWidth = 2159;
    devmode.dmPaperLength = 2794;
    EXPECT_FALSE(EmulatedPageOffset(config, devmode, 600, 600).has_value());  // three numbers
    devmode.dmPaperWidth = 1000;
    EXPECT_FALSE(EmulatedPageOffset(config, devmode, 600, 600).has_value());  // no case

    for (std::u16string_view bad : {u"1_2_3_-4", u"1_2_3_4_5", u"1_2_3_x", u"1_2_3_120001", u""})
        EXPECT_FALSE(ParseMarginData(bad).has_value()) << xlplatform::Utf16ToUtf8(bad);
    EXPECT_TRUE(ParseMarginData(u" 0  1_2__120000 ").has_value());
}

}  // namespace
