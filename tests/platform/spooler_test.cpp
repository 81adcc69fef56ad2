// Printers, printer data, drivers, forms and device capabilities of the spooler.
#include <winspool.h>

#include <cstring>
#include <vector>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

constexpr std::u16string_view kPrinter = u"Office XL";

// Runs a record query by the Windows convention: a size query with no buffer,
// a refusal one byte short, then the real call. Returns the filled buffer.
template <typename Query>
std::vector<BYTE> QueryRecords(Query query) {
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(query(nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(needed);
    DWORD again = 0;
    EXPECT_FALSE(query(buffer.data(), needed - 1, &again));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(again, needed);
    EXPECT_TRUE(query(buffer.data(), needed, &again));
    return buffer;
}

// Every string of a record lies in the caller's buffer after the records.
void ExpectPacked(const std::vector<BYTE>& buffer, size_t recordBytes,
                  std::initializer_list<const WCHAR*> texts) {
    for (const WCHAR* text : texts) {
        ASSERT_NE(text, nullptr);
        const auto* at = reinterpret_cast<const BYTE*>(text);
        EXPECT_GE(at, buffer.data() + recordBytes);
        EXPECT_LE(at + (std::u16string_view(text).size() + 1) * sizeof(WCHAR),
                  buffer.data() + buffer.size());
    }
}

class SpoolerTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        Printer printer;
        printer.name = kPrinter;
        printer.portName = u"USB001";
        printer.driver.name = u"XL Class Driver";
        printer.driver.dependentFiles = {u"C:\\drv\\xlrender.dll", u"C:\\drv\\xlrender.ini"};
        printer.SetData(u"Model", StringValue(u"XL-9000"));
        printer.SetData(u"KXPresetRoot", u"KXRestrictedUserGuid", StringValue(u"{1234}"));
        printer.paperNumbers = {1, 9};
        printer.paperNames = {u"Letter", u"A4"};
        printer.mediaTypeNumbers = {1, 260};
        printer.mediaTypeNames = {u"Plain", std::u16string(70, u'M')};
        AddPrinter(std::move(printer));
    }

    HANDLE Open(ACCESS_MASK access = PRINTER_ACCESS_USE) {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        std::u16string name(kPrinter);
        HANDLE handle = nullptr;
        EXPECT_TRUE(OpenPrinterW(name.data(), &handle, &defaults));
        return handle;
    }
};

TEST_F(SpoolerTest, OpensPrintersByNameWithoutRegardToCase) {
    std::u16string name = u"OFFICE xl";
    HANDLE handle = nullptr;
    ASSERT_TRUE(OpenPrinterW(name.data(), &handle, nullptr));
    EXPECT_TRUE(ClosePrinter(handle));
    EXPECT_FALSE(ClosePrinter(handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    std::u16string unknown = u"Nowhere";
    EXPECT_FALSE(OpenPrinterW(unknown.data(), &handle, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(handle, nullptr);
}

TEST_F(SpoolerTest, PrinterLevel2PacksItsStringsAndDeviceModeAfterTheRecord) {
    DEVMODEW devMode{};
    devMode.dmSize = sizeof(DEVMODEW);
    devMode.dmDriverExtra = 4;
    std::vector<BYTE> bytes(sizeof(DEVMODEW) + 4, 0xAB);
    std::memcpy(bytes.data(), &devMode, sizeof devMode);
    FindPrinter(kPrinter)->devMode = bytes;
    HANDLE printer = Open();
    const std::vector<BYTE> buffer = QueryRecords([&](LPBYTE out, DWORD size, LPDWORD needed) {
        return GetPrinterW(printer, 2, out, size, needed);
    });
    const auto& info = *reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    const std::vector<std::u16string_view> texts = {
        info.pPrinterName, info.pPortName, info.pDriverName, info.pPrintProcessor, info.pDatatype};
    EXPECT_EQ(texts, (std::vector<std::u16string_view>{kPrinter, u"USB001", u"XL Class Driver",
                                                       u"winprint", u"RAW"}));
    EXPECT_EQ(info.pServerName, nullptr);
    ExpectPacked(
        buffer, sizeof(PRINTER_INFO_2W),
        {info.pPrinterName, info.pShareName, info.pPortName, info.pDriverName, info.pComment,
         info.pLocation, info.pSepFile, info.pPrintProcessor, info.pDatatype, info.pParameters});
    ASSERT_NE(info.pDevMode, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(info.pDevMode) % 8, 0u);
    EXPECT_EQ(std::memcmp(info.pDevMode, bytes.data(), bytes.size()), 0);
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 3, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
}

TEST_F(SpoolerTest, DriverLevel3ListsDependentFiles) {
    HANDLE printer = Open();
    const std::vector<BYTE> buffer = QueryRecords([&](LPBYTE out, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(printer, nullptr, 3, out, size, needed);
    });
    const auto& info = *reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    EXPECT_EQ(info.cVersion, 3u);
    EXPECT_EQ(std::u16string_view(info.pEnvironment), u"Windows x64");
    // The dependent files themselves are read back by the driver-file tests.
    EXPECT_NE(std::u16string_view(info.pDriverPath).find(u"UNIDRV.DLL"), std::u16string_view::npos);
    ExpectPacked(buffer, sizeof(DRIVER_INFO_3W),
                 {info.pName, info.pDriverPath, info.pDataFile, info.pConfigFile});

    std::u16string other = u"Windows NT x86";
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterDriverW(printer, other.data(), 3, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_PRINTER_DRIVER);
}

TEST_F(SpoolerTest, PrinterDataQueries) {
    HANDLE printer = Open();
    struct Case {
        const char16_t* key;  // null: the plain GetPrinterDataW
        const char16_t* name;
        DWORD size;
        DWORD result;
        DWORD needed;
    };
    const Case cases[] = {
        {nullptr, u"Model", 64, ERROR_SUCCESS, 16},
        {nullptr, u"MODEL", 64, ERROR_SUCCESS, 16},
        {nullptr, u"Model", 15, ERROR_MORE_DATA, 16},
        {nullptr, u"Model", 0, ERROR_MORE_DATA, 16},
        {nullptr, u"HybridPathSupported", 4, ERROR_FILE_NOT_FOUND, 0},
        {nullptr, u"KXRestrictedUserGuid", 64, ERROR_FILE_NOT_FOUND, 0},
        {u"KXPresetRoot", u"KXRestrictedUserGuid", 64, ERROR_SUCCESS, 14},
        {u"kxpresetroot", u"Model", 64, ERROR_FILE_NOT_FOUND, 0},
        {u"NoSuchKey", u"Model", 64, ERROR_FILE_NOT_FOUND, 0},
        {u"PrinterDriverData", u"Model", 64, ERROR_SUCCESS, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.name));
        BYTE data[64] = {};
        DWORD type = 0, needed = 0;
        std::u16string name = c.name;
        const DWORD result = c.key == nullptr
                                 ? GetPrinterDataW(printer, name.data(), &type,
                                                   c.size ? data : nullptr, c.size, &needed)
                                 : GetPrinterDataExW(printer, c.key, c.name, &type,
                                                     c.size ? data : nullptr, c.size, &needed);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(needed, c.needed);
        if (result == ERROR_SUCCESS) {
            EXPECT_EQ(type, REG_SZ);
        }
    }
}

TEST_F(SpoolerTest, ChangingPrinterDataNeedsAdministration) {
    std::u16string name = u"AppName";
    BYTE app[] = "WINWORD.EXE";
    EXPECT_EQ(SetPrinterDataW(Open(PRINTER_ACCESS_USE), name.data(), REG_BINARY, app, sizeof app),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(
        SetPrinterDataW(Open(PRINTER_ACCESS_ADMINISTER), name.data(), REG_BINARY, app, sizeof app),
        ERROR_SUCCESS);
    FindPrinter(kPrinter)->administrationAllowed = false;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_ADMINISTER};
    std::u16string printerName(kPrinter);
    HANDLE refused = nullptr;
    EXPECT_FALSE(OpenPrinterW(printerName.data(), &refused, &defaults));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(SpoolerTest, DeviceCapabilityLists) {
    const std::u16string device(kPrinter);
    EXPECT_EQ(DeviceCapabilitiesW(device.c_str(), u"LPT1:", DC_PAPERS, nullptr, nullptr), 2);
    WORD papers[3] = {0, 0, 0xEEEE};  // one more entry than the count is left alone
    EXPECT_EQ(DeviceCapabilitiesW(device.c_str(), u"LPT1:", DC_PAPERS,
                                  reinterpret_cast<LPWSTR>(papers), nullptr),
              2);
    EXPECT_EQ(std::vector<WORD>(papers, papers + 3), (std::vector<WORD>{1, 9, 0xEEEE}));
    DWORD media[2] = {};  // DC_MEDIATYPES answers double words
    EXPECT_EQ(DeviceCapabilitiesW(device.c_str(), nullptr, DC_MEDIATYPES,
                                  reinterpret_cast<LPWSTR>(media), nullptr),
              2);
    EXPECT_EQ(media[1], 260u);

    // Names sit in slots of 64 characters; a longer name is cut to the slot.
    std::vector<WCHAR> names(3 * 64, u'#');
    EXPECT_EQ(
        DeviceCapabilitiesW(device.c_str(), nullptr, DC_MEDIATYPENAMES, names.data(), nullptr), 2);
    EXPECT_EQ(std::u16string_view(names.data()), u"Plain");
    EXPECT_EQ(std::u16string_view(names.data() + 64, 64), std::u16string(64, u'M'));
    EXPECT_EQ(names[128], u'#');

    EXPECT_EQ(DeviceCapabilitiesW(u"Nowhere", nullptr, DC_PAPERS, nullptr, nullptr), -1);
    EXPECT_EQ(DeviceCapabilitiesW(device.c_str(), nullptr, 9999, nullptr, nullptr), -1);
}

}  // namespace
