// The XML configuration reader: the file's place, its lists, callback commands,
// switch data and borderless forms.
#include <printoem.h>
#include <winspool.h>

#include "platform/world_fixture.h"
#include "settings/opened_printer.h"
#include "settings/xml/xml_config.h"
#include "settings/xml/xml_config_path.h"
#include "settings/xml/xml_configuration.h"
#include "support/fake_unidrv.h"

using namespace xlr;

namespace {

constexpr char kDriverDirectory[] = "Windows/System32/spool/drivers/x64/3/";
constexpr char16_t kDriverDirectoryPath[] = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";

constexpr char kConfiguration[] = R"(<?xml version="1.0"?>
<device><software><component><name>verno</name>
<helper>
  <events><event/><event/></events>
  <presets><presetenglish/><presetenglish/><presetenglish/></presets>
  <groups><group/></groups>
  <macros>
    <macro><name>Lines</name>
      <option value="Enter">=Language&lt;0A</option>
      <option value="Language">@PJL ENTER LANGUAGE = PCLXL\</option>
    </macro>
  </macros>
  <Command_Callback>
    <Callback><Value>5</Value><Select_Command path="PDL">"five</Select_Command></Callback>
    <Callback><Value>40</Value>
      <Select_Command path="PS">"postscript</Select_Command>
      <Select_Command path="PDL">=Enter</Select_Command>
      <Select_Command path="PDL">"second</Select_Command>
    </Callback>
    <Callback><Value>41</Value><Select_Command path="PDL">=Missing</Select_Command></Callback>
    <Callback><Value>42</Value><Select_Command path="PDL">"copies  %NumOfCopies</Select_Command></Callback>
  </Command_Callback>
  <features>
    <feature><name>KX_Emulate_Margins</name>
      <switch><name>Paper_Dimensions</name>
        <case><name>210.00x297.00</name><data>100_200_300_400</data></case>
        <case><name>empty</name><data></data></case>
        <case_default><name>any</name><data>1 2 3 4</data></case_default>
      </switch>
      <switch><name>No_Default</name><case><name>a</name><data>A</data></case></switch>
    </feature>
  </features>
  <BorderlessSettings><Borderless><name>4x6 Borderless</name></Borderless></BorderlessSettings>
</helper></component></software></device>
)";

class XmlConfigTest : public WorldTest {
  protected:
    // Writes a configuration into the driver directory; returns its Windows path.
    std::u16string Install(const std::string& name, const std::string& text) {
        WriteFile(Root(kDriverDirectory + name), text);
        return kDriverDirectoryPath + xlplatform::Utf8ToUtf16(name);
    }
};

std::optional<int32_t> Copies(DWORD index) {
    return index == SVI_COPIES ? std::optional<int32_t>(3) : std::nullopt;
}

TEST(CallbackSearchTest, ProbesLikeABinarySearch) {
    const std::vector<std::u16string> values = {u"5", u"12", u"40"};
    const struct {
        std::u16string_view wanted;
        std::optional<size_t> position;
        int probes;
    } cases[] = {
        {u"12", 2, 1},  // the middle entry, found at once
        {u"13", std::nullopt, 2},
        {u"5", 1, 2},
        {u"40", 3, 2},
        {u"1", std::nullopt, 2},
        {u"99", std::nullopt, 2},
        {u"012", std::nullopt, 2},  // equal in value is not the entry: the texts must match
    };
    for (const auto& c : cases) {
        int probes = 0;
        const auto found = FindCallbackEntry(
            values.size(),
            [&](size_t at) {
                ++probes;
                return values.at(at - 1);
            },
            c.wanted);
        EXPECT_EQ(found, c.position) << xlplatform::Utf16ToUtf8(c.wanted);
        EXPECT_EQ(probes, c.probes) << xlplatform::Utf16ToUtf8(c.wanted);
    }
    EXPECT_EQ(FindCallbackEntry(
                  0, [](size_t) { return std::u16string(u"1"); }, u"1"),
              std::nullopt);
}

TEST_F(XmlConfigTest, LooksUpCommandsSwitchDataAndForms) {
    const CKXXmlConfig config(Install("laser.xml", kConfiguration));
    ASSERT_TRUE(config.Usable());
    // Lists are selected whether or not they are read here.
    EXPECT_EQ(config.ListLength(XmlList::kEvents), 2);
    EXPECT_EQ(config.ListLength(XmlList::kPresets), 3);  // the English presets
    EXPECT_EQ(config.ListLength(XmlList::kGroups), 1);
    EXPECT_EQ(config.ListLength(XmlList::kMacros4), 1);
    EXPECT_EQ(config.ListLength(XmlList::kCallbacks), 4);
    EXPECT_EQ(config.ListLength(XmlList::kColorOptions), 0);

    const struct {
        std::u16string_view number;
        std::u16string_view kind;
        std::optional<std::string> command;
    } commands[] = {
        {u"5", u"PDL", "five"},
        {u"40", u"PDL", "@PJL ENTER LANGUAGE = PCLXL\n"},  // a macro through a macro; first PDL
        {u"40", u"PS", "postscript"},
        {u"41", u"PDL", std::nullopt},  // its macro is missing: nothing is sent
        {u"42", u"PDL", "copies 3"},
        {u"6", u"PDL", std::nullopt},
        {u"5", u"pdl", std::nullopt},  // the kind is compared exactly
    };
    for (const auto& c : commands)
        EXPECT_EQ(config.LookUpCallbackCommand(c.number, c.kind, Copies), c.command)
            << xlplatform::Utf16ToUtf8(c.number) << " " << xlplatform::Utf16ToUtf8(c.kind);

    const struct {
        std::u16string_view switchName, caseName;
        std::optional<std::u16string> data;
    } switches[] = {
        {u"Paper_Dimensions", u"210.00x297.00", u"100_200_300_400"},
        {u"Paper_Dimensions", u"215.90x279.40", u"1 2 3 4"},  // the default case
        {u"Paper_Dimensions", u"empty", std::nullopt},
        {u"No_Default", u"b", std::nullopt},
        {u"Missing", u"a", std::nullopt},
    };
    for (const auto& c : switches)
        EXPECT_EQ(config.LookUpSwitchData(u"KX_Emulate_Margins", c.switchName, c.caseName), c.data)
            << xlplatform::Utf16ToUtf8(c.caseName);
    EXPECT_EQ(config.LookUpSwitchData(u"Other", u"Paper_Dimensions", u"210.00x297.00"),
              std::nullopt);

    EXPECT_TRUE(config.IsBorderlessForm(u"4X6 BORDERLESS"));
    EXPECT_FALSE(config.IsBorderlessForm(u"4x6"));
}

// Whatever keeps the reader from the component, every lookup finds nothing.
TEST_F(XmlConfigTest, UnreadableConfigurationsFindNothing) {
    std::string otherComponent = kConfiguration;
    otherComponent.replace(otherComponent.find("verno"), 5, "other");
    const struct {
        const char* name;
        std::u16string path;
    } cases[] = {
        {"malformed", Install("malformed.xml", std::string(kConfiguration).substr(0, 600))},
        {"no component", Install("other.xml", otherComponent)},
        {"absent", kDriverDirectoryPath + std::u16string(u"absent.xml")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CKXXmlConfig config(c.path);
        EXPECT_FALSE(config.Usable());
        EXPECT_EQ(config.ListLength(XmlList::kCallbacks), 0);
        EXPECT_EQ(config.LookUpCallbackCommand(u"5", u"PDL", Copies), std::nullopt);
        EXPECT_EQ(config.LookUpSwitchData(u"KX_Emulate_Margins", u"Paper_Dimensions", u"any"),
                  std::nullopt);
        EXPECT_FALSE(config.IsBorderlessForm(u"4x6 Borderless"));
    }
    // Without the DOM component the reader is as empty.
    xlplatform::TheWorld().comClasses.clear();
    EXPECT_FALSE(CKXXmlConfig(Install("laser.xml", kConfiguration)).Usable());
}

TEST_F(XmlConfigTest, TheFileLiesInTheDriverDirectory) {
    HANDLE handle = xltest::AddOpenedPrinter(u"Laser");
    EXPECT_EQ(XmlConfigPath(handle, u"laser.xml"),
              kDriverDirectoryPath + std::u16string(u"laser.xml"));
    for (std::u16string_view unsafe :
         {u"", u"..", u"..\\laser.xml", u"sub/laser.xml", u"C:laser.xml"})
        EXPECT_EQ(XmlConfigPath(handle, unsafe), std::nullopt) << xlplatform::Utf16ToUtf8(unsafe);
    ClosePrinter(handle);
    EXPECT_EQ(XmlConfigPath(nullptr, u"laser.xml"), std::nullopt);

    EXPECT_TRUE(IsXmlFileName(u"laser.Xml"));
    EXPECT_FALSE(IsXmlFileName(u"laser.xmlx"));
    EXPECT_FALSE(IsXmlFileName(u"xml"));
}

// A device whose description names the configuration: its commands expand with
// the device's standard variables and its margins give the page offset.
TEST_F(XmlConfigTest, TheDeviceFindsItsConfiguration) {
    xltest::FakeDevice device;
    device.devobj.hPrinter = xltest::AddOpenedPrinter(u"Laser");
    Install("laser.xml", kConfiguration);
    device.helper.standardVariables[SVI_COPIES] = 2;
    PDEVOBJ devobj = &device.devobj;
    auto state = std::make_unique<PluginDeviceState>();
    state->driverHelper = &device.helper;

    EXPECT_EQ(ConfiguredCommand(devobj, *state, 5), std::nullopt);  // no feature
    device.helper.features["KXXMLFileUsed"] = "laser.xml";
    EXPECT_EQ(ConfiguredCommand(devobj, *state, 5), "five");
    EXPECT_EQ(ConfiguredCommand(devobj, *state, 42), "copies 2");
    device.helper.standardVariables.clear();  // Unidrv cannot answer: nothing is sent
    EXPECT_EQ(ConfiguredCommand(devobj, *state, 42), std::nullopt);

    GDIINFO gdi{};
    gdi.ulLogPixelsX = gdi.ulLogPixelsY = 600;
    device.publicDevMode.dmPaperWidth = 2100;
    device.publicDevMode.dmPaperLength = 2970;
    const FeatureReader features(devobj, &device.helper);
    POINTL offset{};
    ASSERT_TRUE(ReadXmlPageOffset(devobj, features, gdi, offset));
    EXPECT_EQ(offset.x, 50);  // 100/1200 inch at 600 dpi
    EXPECT_EQ(offset.y, 100);
    // Margins come only from a file whose name ends in ".xml".
    Install("laser.cfg", kConfiguration);
    device.helper.features["KXXMLFileUsed"] = "laser.cfg";
    EXPECT_FALSE(ReadXmlPageOffset(devobj, features, gdi, offset));
    EXPECT_EQ(ConfiguredCommand(devobj, *state, 5), "five");
}

}  // namespace
