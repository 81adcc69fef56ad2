// The plug-in object's own answers: GetInfo, GetImplementedMethod, the driver
// helper interface, SendFontCmd.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <prcomoem.h>

#include "frame/class_factory.h"
#include "frame/plugin_object.h"

namespace {

IPrintOemUni2* NewPlugin() {
    void* factory = nullptr;
    EXPECT_EQ(xlr::GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory), S_OK);
    void* plugin = nullptr;
    EXPECT_EQ(
        static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_IPrintOemUni2, &plugin),
        S_OK);
    static_cast<IClassFactory*>(factory)->Release();
    return static_cast<IPrintOemUni2*>(plugin);
}

struct PluginHolder {
    IPrintOemUni2* plugin = NewPlugin();
    ~PluginHolder() { plugin->Release(); }
    IPrintOemUni2* operator->() const { return plugin; }
};

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

// A driver helper that counts its references, behind an IUnknown that may or
// may not hand it out.
class FakeDriverHelper : public IPrintOemDriverUni {
  public:
    explicit FakeDriverHelper(bool answers) : answers_(answers) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (answers_ && (riid == IID_IPrintOemDriverUni || riid == IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                  PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD,
                                                     PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                                            BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override {
        return E_NOTIMPL;
    }

    ULONG refs = 1;

  private:
    bool answers_;
};

TEST(PublishDriverInterface, KeepsTheFirstHelperUntilDisableDriver) {
    FakeDriverHelper first(true), second(true);
    {
        PluginHolder plugin;
        auto* object = static_cast<xlr::CRenderPlugin*>(plugin.plugin);
        EXPECT_EQ(plugin->PublishDriverInterface(&first), S_OK);
        EXPECT_EQ(first.refs, 2u);
        EXPECT_EQ(plugin->PublishDriverInterface(&second), S_OK);
        EXPECT_EQ(second.refs, 1u) << "a second publication keeps the first helper";
        EXPECT_EQ(object->DriverHelper(), &first);
        EXPECT_EQ(plugin->DisableDriver(), S_OK);
        EXPECT_EQ(first.refs, 1u);
        EXPECT_EQ(object->DriverHelper(), nullptr);
        EXPECT_EQ(plugin->PublishDriverInterface(&second), S_OK);
        EXPECT_EQ(second.refs, 2u);
    }
    EXPECT_EQ(second.refs, 1u) << "the object releases its helper when it goes";
}

TEST(PublishDriverInterface, FailsWhenNoHelperIsOffered) {
    FakeDriverHelper refusing(false);
    PluginHolder plugin;
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), E_FAIL);
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

struct FontCommandCase {
    std::string command;
    LONG height;
    const char* expected;  // null: nothing written
};

TEST(SendFontCmd, ReplacesTheHeightToken) {
    DRVPROCS procs{};
    procs.DrvWriteSpoolBuf = RecordSpoolWrite;
    DEVOBJ device{};
    device.pDrvProcs = &procs;
    UNIFONTOBJ font{};
    font.pfnGetInfo = FontInfo;
    const std::string longCommand(120, 'x');
    const std::string nearEnd = std::string(90, 'a') + "#HEIGHTzzzz";
    const FontCommandCase cases[] = {
        {"\x1B(s4099T", 1200, "\x1B(s4099T"},     // no token: unchanged
        {"#HEIGHT", 1200, "72.00"},               // 1,200 units at 1,200 dpi is 72 points
        {"\x1B(s#HEIGHTV", 100, "\x1B(s6.00V"},   // the rest of the command stays
        {"#HEIGHT#HEIGHT", 600, "36.00#HEIGHT"},  // only the first token
        {"h#HEIGHT", 16667, "h999.75"},           // 1,000.02 points and more become 999.75
        {"h#HEIGHT", 16666, "h999.96"},
        {"h#HEIGHT", -1200, "h-72.00"},
        {longCommand, 0, nullptr},  // checked below: cut to 99 bytes
        {nearEnd, 1200, nullptr},   // checked below: stays within the buffer
    };
    for (const FontCommandCase& c : cases) {
        SCOPED_TRACE(c.command);
        g_written.clear();
        g_fontHeight = c.height;
        std::vector<BYTE> bytes(c.command.begin(), c.command.end());
        FINVOCATION invocation{static_cast<DWORD>(bytes.size()), bytes.data()};
        PluginHolder plugin;
        EXPECT_EQ(plugin->SendFontCmd(&device, &font, &invocation), S_OK);
        ASSERT_EQ(g_written.size(), 1u);
        if (c.expected != nullptr) {
            EXPECT_EQ(g_written[0], c.expected);
        }
    }
    g_written.clear();
    std::vector<BYTE> bytes(longCommand.begin(), longCommand.end());
    FINVOCATION invocation{static_cast<DWORD>(bytes.size()), bytes.data()};
    PluginHolder plugin;
    plugin->SendFontCmd(&device, &font, &invocation);
    ASSERT_EQ(g_written.size(), 1u);
    EXPECT_EQ(g_written[0], std::string(99, 'x'));

    // The command is cut to 99 bytes first; a replacement longer than the token
    // is cut at the end of the buffer.
    g_written.clear();
    g_fontHeight = 1200;
    bytes.assign(nearEnd.begin(), nearEnd.end());
    invocation = {static_cast<DWORD>(bytes.size()), bytes.data()};
    plugin->SendFontCmd(&device, &font, &invocation);
    g_fontHeight = -1200000000;
    plugin->SendFontCmd(&device, &font, &invocation);
    EXPECT_EQ(g_written, (std::vector<std::string>{std::string(90, 'a') + "72.00zz",
                                                   std::string(90, 'a') + "-72000000"}));
}

TEST(SendFontCmd, EmptyOrMissingInvocationWritesNothing) {
    DRVPROCS procs{};
    procs.DrvWriteSpoolBuf = RecordSpoolWrite;
    DEVOBJ device{};
    device.pDrvProcs = &procs;
    UNIFONTOBJ font{};
    font.pfnGetInfo = FontInfo;
    g_written.clear();
    PluginHolder plugin;
    BYTE byte = 'A';
    FINVOCATION empty{0, &byte};
    EXPECT_EQ(plugin->SendFontCmd(&device, &font, &empty), S_OK);
    EXPECT_EQ(plugin->SendFontCmd(&device, &font, nullptr), S_OK);
    BYTE nul[] = {0, 'A'};
    FINVOCATION startsWithNul{2, nul};
    EXPECT_EQ(plugin->SendFontCmd(&device, &font, &startsWithNul), S_OK);
    EXPECT_TRUE(g_written.empty());
}

TEST(SendFontCmd, UnknownHeightReadsAsZero) {
    DRVPROCS procs{};
    procs.DrvWriteSpoolBuf = RecordSpoolWrite;
    DEVOBJ device{};
    device.pDrvProcs = &procs;
    g_written.clear();
    g_heightKnown = false;
    UNIFONTOBJ font{};
    font.pfnGetInfo = FontInfo;
    BYTE bytes[] = {'#', 'H', 'E', 'I', 'G', 'H', 'T'};
    FINVOCATION invocation{7, bytes};
    PluginHolder plugin;
    plugin->SendFontCmd(&device, &font, &invocation);
    plugin->SendFontCmd(&device, nullptr, &invocation);
    g_heightKnown = true;
    EXPECT_EQ(g_written, (std::vector<std::string>{"0.00", "0.00"}));
}

}  // namespace
