// The plug-in object's own answers: GetInfo, GetImplementedMethod, the driver
// helper interface, SendFontCmd.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <prcomoem.h>

#include "frame/plugin_fixtures.h"
#include "frame/plugin_object.h"

namespace {

using xltest::PluginHolder;

struct GetInfoCase {
    DWORD mode;
    DWORD size;
    HRESULT result;
    DWORD needed;  // 0xFFFFFFFF: left untouched
    DWORD value;   // 0xFFFFFFFF: buffer left untouched
};

TEST(GetInfo, ModesAndSizes) {
    PluginHolder plugin;
    const GetInfoCase cases[] = {
        {OEMGI_GETSIGNATURE, 4, S_OK, 4, 0x4B585549},
        {OEMGI_GETINTERFACEVERSION, 4, S_OK, 4, 0x00010000},
        {OEMGI_GETVERSION, 4, S_OK, 4, 0x00010014},
        {OEMGI_GETSIGNATURE, 8, E_FAIL, 4, 0xFFFFFFFF},  // needed is told, nothing written
        {OEMGI_GETVERSION, 2, E_FAIL, 4, 0xFFFFFFFF},
        {OEMGI_GETPUBLISHERINFO, 4, E_FAIL, 0xFFFFFFFF, 0xFFFFFFFF},
        {99, 4, E_FAIL, 0xFFFFFFFF, 0xFFFFFFFF},
    };
    for (const GetInfoCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " size " << c.size);
        DWORD buffer[2] = {0xFFFFFFFF, 0xFFFFFFFF};
        DWORD needed = 0xFFFFFFFF;
        EXPECT_EQ(plugin->GetInfo(c.mode, buffer, c.size, &needed), c.result);
        EXPECT_EQ(needed, c.needed);
        EXPECT_EQ(buffer[0], c.value);
        EXPECT_EQ(buffer[1], 0xFFFFFFFFu);
    }
}

TEST(GetInfo, NullBufferOrNeededIsInvalidData) {
    PluginHolder plugin;
    DWORD value = 0, needed = 0;
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}

TEST(GetImplementedMethod, NamesAreComparedExactly) {
    PluginHolder plugin;
    // Exact, case-sensitive names; the font download methods are left to Unidrv
    // although SendFontCmd is the plug-in's.
    const std::pair<const char*, HRESULT> cases[] = {
        {"GetInfo", S_OK},
        {"SendFontCmd", S_OK},
        {"WritePrinter", S_OK},
        {"CommandCallback", S_OK},
        {"getinfo", S_FALSE},
        {"GetInfoX", S_FALSE},
        {"GetInf", S_FALSE},
        {"", S_FALSE},
        {"DownloadFontHeader", S_FALSE},
        {"TextOutAsBitmap", S_FALSE},
        {"PublishDriverInterface", S_FALSE},
    };
    for (const auto& [name, expected] : cases) {
        std::string copy = name;
        EXPECT_EQ(plugin->GetImplementedMethod(copy.data()), expected) << name;
    }
    EXPECT_EQ(plugin->GetImplementedMethod(nullptr), S_FALSE);
}

// A helper's reference count, read without changing it.
ULONG References(IUnknown& object) {
    object.AddRef();
    return object.Release();
}

TEST(PublishDriverInterface, KeepsTheFirstHelperUntilDisableDriver) {
    xltest::FakeDriverHelper first, second;
    {
        PluginHolder plugin;
        auto* object = static_cast<xlr::CRenderPlugin*>(plugin.plugin);
        EXPECT_EQ(plugin->PublishDriverInterface(&first), S_OK);
        EXPECT_EQ(References(first), 2u);
        EXPECT_EQ(plugin->PublishDriverInterface(&second), S_OK);
        EXPECT_EQ(References(second), 1u) << "a second publication keeps the first helper";
        EXPECT_EQ(object->DriverHelper(), &first);
        EXPECT_EQ(plugin->DisableDriver(), S_OK);
        EXPECT_EQ(References(first), 1u);
        EXPECT_EQ(object->DriverHelper(), nullptr);
        EXPECT_EQ(plugin->PublishDriverInterface(&second), S_OK);
        EXPECT_EQ(References(second), 2u);
    }
    EXPECT_EQ(References(second), 1u) << "the object releases its helper when it goes";

    // An object that is no driver helper (here a class object) is refused.
    PluginHolder plugin;
    void* factory = nullptr;
    ASSERT_EQ(xlr::GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory), S_OK);
    EXPECT_EQ(plugin->PublishDriverInterface(static_cast<IUnknown*>(factory)), E_FAIL);
    static_cast<IUnknown*>(factory)->Release();
    EXPECT_EQ(static_cast<xlr::CRenderPlugin*>(plugin.plugin)->DriverHelper(), nullptr);
    EXPECT_EQ(plugin->PublishDriverInterface(nullptr), E_FAIL);
}

// SendFontCmd: a device whose spool writes are recorded, and a font object of a
// given height.
std::vector<std::string> g_written;
LONG g_fontHeight = 0;
bool g_heightKnown = true;

DWORD RecordSpoolWrite(PDEVOBJ, PVOID buffer, DWORD size) {
    g_written.emplace_back(static_cast<const char*>(buffer), size);
    return size;
}

BOOL FontInfo(PUNIFONTOBJ, DWORD infoId, PVOID data, DWORD size, PDWORD) {
    auto* request = static_cast<GETINFO_STDVAR*>(data);
    if (!g_heightKnown || infoId != UFO_GETINFO_STDVARIABLE || size != sizeof(GETINFO_STDVAR) ||
        request->dwNumOfVariable != 1 || request->StdVar[0].dwStdVarID != FNT_INFO_FONTHEIGHT)
        return FALSE;
    request->StdVar[0].lStdVariable = g_fontHeight;
    return TRUE;
}

class SendFontCmd : public ::testing::Test {
  protected:
    SendFontCmd() {
        procs_.DrvWriteSpoolBuf = RecordSpoolWrite;
        device_.pDrvProcs = &procs_;
        font_.pfnGetInfo = FontInfo;
        g_written.clear();
        g_heightKnown = true;
    }
    HRESULT Send(const std::string& command, PUNIFONTOBJ font) {
        std::vector<BYTE> bytes(command.begin(), command.end());
        FINVOCATION invocation{static_cast<DWORD>(bytes.size()), bytes.data()};
        return plugin_->SendFontCmd(&device_, font, &invocation);
    }

    DRVPROCS procs_{};
    DEVOBJ device_{};
    UNIFONTOBJ font_{};
    PluginHolder plugin_;
};

TEST_F(SendFontCmd, ReplacesTheHeightToken) {
    const std::string nearEnd = std::string(90, 'a') + "#HEIGHTzzzz";
    const struct {
        std::string command;
        LONG height;
        std::string expected;
    } cases[] = {
        {"\x1B(s4099T", 1200, "\x1B(s4099T"},     // no token: unchanged
        {"#HEIGHT", 1200, "72.00"},               // 1,200 units at 1,200 dpi is 72 points
        {"\x1B(s#HEIGHTV", 100, "\x1B(s6.00V"},   // the rest of the command stays
        {"#HEIGHT#HEIGHT", 600, "36.00#HEIGHT"},  // only the first token
        {"h#HEIGHT", 16667, "h999.75"},           // 1,000.02 points and more become 999.75
        {"h#HEIGHT", 16666, "h999.96"},
        {"h#HEIGHT", -1200, "h-72.00"},
        {std::string(120, 'x'), 0, std::string(99, 'x')},  // cut to 99 bytes
        // A replacement longer than the token is cut at the end of the buffer.
        {nearEnd, 1200, std::string(90, 'a') + "72.00zz"},
        {nearEnd, -1200000000, std::string(90, 'a') + "-72000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        g_written.clear();
        g_fontHeight = c.height;
        EXPECT_EQ(Send(c.command, &font_), S_OK);
        EXPECT_EQ(g_written, std::vector<std::string>{c.expected});
    }
}

TEST_F(SendFontCmd, EmptyOrMissingInvocationWritesNothing) {
    BYTE byte = 'A';
    FINVOCATION empty{0, &byte};
    EXPECT_EQ(plugin_->SendFontCmd(&device_, &font_, &empty), S_OK);
    EXPECT_EQ(plugin_->SendFontCmd(&device_, &font_, nullptr), S_OK);
    EXPECT_EQ(Send(std::string("\0A", 2), &font_), S_OK);
    EXPECT_TRUE(g_written.empty());
}

TEST_F(SendFontCmd, UnknownHeightReadsAsZero) {
    g_heightKnown = false;
    Send("#HEIGHT", &font_);
    Send("#HEIGHT", nullptr);
    EXPECT_EQ(g_written, (std::vector<std::string>{"0.00", "0.00"}));
}

}  // namespace
