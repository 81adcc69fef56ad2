// The settings store around the device: record settings written at enable,
// the print-processor class, component files and the per-user store.
#include "platform/world_fixture.h"
#include "settings/component_files.h"
#include "settings/device/device_settings.h"
#include "settings/opened_printer.h"
#include "settings/user_store.h"
#include "support/fake_unidrv.h"

namespace {

using xltest::FakeDevice;

class SettingsStoreTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        printer_ = device_.devobj.hPrinter = xltest::AddOpenedPrinter(u"Store");
    }

    xlplatform::Printer& Printer() { return *xlplatform::FindPrinter(u"Store"); }

    // An INI file among the driver's dependent files, with these lines.
    void WriteComponentIni(const std::string& lines) {
        WriteFile(Root("drivers/XLCOMP.INI"), lines);
        Printer().driver.dependentFiles = {u"C:\\drivers\\XLRENDER.GPD", u"C:\\drivers\\XLCOMP.INI",
                                           u"C:\\drivers\\OTHER.INI"};
    }

    HANDLE printer_ = nullptr;
    FakeDevice device_;
};

TEST_F(SettingsStoreTest, RecordSettingsAreWrittenAtEnableAndPackedBack) {
    device_.helper.features = {
        {"KXPrinterCode", "MODEL_COLOR_A3"}, {"KXColorMode", "COLOR_MODE"},
        {"KXPDLType", "PDL_PCL6"},           {"KXMaxResolution", "PDM_600DPI"},
        {"JobRetention", "installed"},       {"TTAsBitmapsSetting", "TTModeBitmap"}};
    xlr::SettingsRecord settings = device_.Settings();
    settings.manualDuplex = settings.manualDuplexAvailable = 1;
    device_.SetSettings(settings);
    xlr::CompleteSettingsRecord(&device_.devobj, &device_.helper);
    const xlr::SettingsRecord r = device_.Settings();
    EXPECT_EQ(r.printerCode, 4u);
    EXPECT_EQ(r.colorModeIndex, 2u);
    EXPECT_EQ(r.pdlIndex, 2u);
    EXPECT_EQ(r.maxResolution, 3u);
    EXPECT_EQ(r.jobRetention, 1u);
    EXPECT_EQ(r.ttAsBitmap, 1u);
    EXPECT_EQ(r.manualDuplex, 0u) << "no ManualDuplex feature: no manual duplexing";
    EXPECT_EQ(r.manualDuplexAvailable, 0u);
    EXPECT_EQ(r.printProcessorClass, 2u) << "winprint";
}

TEST_F(SettingsStoreTest, PrinterCodeIsNotReadAgainOnceSet) {
    xlr::SettingsRecord settings = device_.Settings();
    settings.printerCode = 5;
    device_.SetSettings(settings);
    device_.helper.features["KXPrinterCode"] = "MODEL_MONO_A4";
    xlr::CompleteSettingsRecord(&device_.devobj, &device_.helper);
    EXPECT_EQ(device_.Settings().printerCode, 5u);
    for (const std::string& read : device_.helper.featureReads) EXPECT_NE(read, "KXPrinterCode");
    xlr::CompleteSettingsRecord(&device_.devobj, nullptr);  // without a helper nothing runs
}

TEST_F(SettingsStoreTest, PrintProcessorClass) {
    EXPECT_EQ(xlr::PrintProcessorClass(printer_), 2u);
    Printer().printProcessor = u"xlproc";
    EXPECT_EQ(xlr::PrintProcessorClass(printer_), 1u) << "the family's own, by its default name";
    Printer().printProcessor = u"other";
    EXPECT_EQ(xlr::PrintProcessorClass(printer_), 3u);
    WriteComponentIni("[ComponentFiles]\nComponent_F_B=other.dll\n");
    EXPECT_EQ(xlr::PrintProcessorClass(printer_), 1u)
        << "the INI names the family's print processor";
    EXPECT_EQ(xlr::PrintProcessorClass(nullptr), 3u);
}

TEST_F(SettingsStoreTest, ComponentNamesComeFromTheFirstIniUnlessCutOff) {
    EXPECT_EQ(xlr::FindComponentIni(printer_), u"");
    EXPECT_EQ(xlr::ReadComponentName(u"", xlr::kResourceComponent), u"XLRES.DLL");
    const std::string name28(24, 'r');
    const std::string name29(25, 'r');
    WriteComponentIni("[ComponentFiles]\nComponent_R_B=" + name28 +
                      ".DLL\nComponent_F_E=" + name29 + ".DLL\nComponent_R_D=\n");
    const std::u16string ini = xlr::FindComponentIni(printer_);
    EXPECT_EQ(ini, u"C:\\drivers\\XLCOMP.INI");
    EXPECT_EQ(xlr::ReadComponentName(ini, xlr::kResourceComponent),
              xlplatform::Utf8ToUtf16(name28 + ".DLL"))
        << "28 characters fit";
    EXPECT_EQ(xlr::ReadComponentName(ini, xlr::kUsageComponent), u"XLUSAGE.DLL")
        << "29 characters read as cut off";
    EXPECT_EQ(xlr::ReadComponentName(ini, xlr::kDeviceQueryComponent), u"XLDEVQ.DLL")
        << "empty entry";
    EXPECT_EQ(xlr::ReadComponentName(ini, xlr::kPluginComponent), u"xlrender.dll")
        << "missing entry";
}

TEST_F(SettingsStoreTest, UserStoreCreatesMissingKeysAndValues) {
    EXPECT_FALSE(xlr::ReadUserStoreValue(printer_, u"", u"iJobCount")) << "no restricted user";
    Printer().SetData(u"KXPresetRoot", u"KXRestrictedUserGuid",
                      xlplatform::StringValue(u"{USER-1}"));
    auto first = xlr::ReadUserStoreValue(printer_, u"", u"iJobCount");
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->empty()) << "a new key is answered as empty";
    const xlplatform::RegistryKey* key =
        xlplatform::TheWorld().currentUser.Find(u"Software\\Corvane\\{USER-1}");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.at(u"iJobCount").bytes, std::vector<BYTE>{0x01});

    auto second = xlr::ReadUserStoreValue(printer_, u"", u"KXCUSTOMForms");
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, std::vector<BYTE>{0x01})
        << "a missing value in an existing key is made and read back";

    auto sub = xlr::ReadUserStoreValue(printer_, u"Forms", u"Count");
    ASSERT_TRUE(sub);
    EXPECT_NE(xlplatform::TheWorld().currentUser.Find(u"Software\\Corvane\\{USER-1}\\Forms"),
              nullptr);
    EXPECT_EQ(xlr::UserStoreKeyPath(std::u16string(250, u'g'), u"x"), u"") << "over 259 units";
}

}  // namespace
