// COM apartments, the class registry, the usage-reporting component, BSTRs and UUIDs.
#include <objbase.h>
#include <oleauto.h>
#include <rpc.h>
#include <usagereport.h>

#include <cstring>
#include <set>
#include <thread>

#include "platform/world_fixture.h"

using namespace xlplatform;

namespace {

class ComTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        WorldTest::TearDown();
    }
};

TEST_F(ComTest, ApartmentsCountTheirInitialisations) {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();  // the S_FALSE one; the fixture's call still holds

    // Every thread has its own apartment.
    std::thread([] {
        IUnknown* object = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_UsageReport, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(&object)),
                  CO_E_NOTINITIALIZED);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), RPC_E_CHANGED_MODE);
        CoUninitialize();
    }).join();
}

TEST_F(ComTest, ClassRegistry) {
    struct Counter final : IUnknown {
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
            if (iid != IID_IUnknown) return E_NOINTERFACE;
            *object = this;
            AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
        ULONG STDMETHODCALLTYPE Release() override { return --references; }
        ULONG references = 0;
    } counter;
    constexpr CLSID kClass = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    RegisterComClass(kClass,
                     [&](REFIID iid, void** out) { return counter.QueryInterface(iid, out); });
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, 21, IID_IUnknown, &object), S_OK);
    EXPECT_EQ(object, &counter);
    EXPECT_EQ(counter.references, 1u);
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object),
              E_NOINTERFACE);
    EXPECT_EQ(CoCreateInstance(kClass, &counter, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(kClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(counter.references, 1u);
}

TEST_F(ComTest, UsageComponentAppendsEachSentRecordToTheLog) {
    IUsageReport* report = nullptr;
    // The context the plug-in asks for: in-process, local or remote server.
    ASSERT_EQ(CoCreateInstance(CLSID_UsageReport, nullptr, 21, IID_IUsageReport,
                               reinterpret_cast<void**>(&report)),
              S_OK);
    ASSERT_NE(report, nullptr);
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(report->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    EXPECT_EQ(static_cast<IDispatch*>(report), dispatch);
    dispatch->Release();

    BSTR device = SysAllocString(u"9999999999#XL-9000");
    BSTR application = SysAllocString(u"WINWORD.EXE");
    LONG complete = -1;
    EXPECT_EQ(report->SetDeviceText(USAGE_ITEM_DEVICE, device), S_OK);
    EXPECT_EQ(report->SetApplicationText(USAGE_ITEM_APPLICATION, application), S_OK);
    EXPECT_EQ(report->GetStatus(&complete), S_OK);
    EXPECT_EQ(complete, 0);
    EXPECT_EQ(report->SetCount(USAGE_ITEM_PAGE_TOTAL, 6), S_OK);
    EXPECT_EQ(report->GetStatus(&complete), S_OK);
    EXPECT_EQ(complete, 1);
    EXPECT_TRUE(TheWorld().usageLog.empty());
    EXPECT_EQ(report->Send(), S_OK);
    EXPECT_EQ(report->Send(), S_OK);  // a second send starts from an empty record
    SysFreeString(device);
    SysFreeString(application);
    EXPECT_EQ(report->Release(), 0u);

    ASSERT_EQ(TheWorld().usageLog.size(), 2u);
    const UsageRecord& record = TheWorld().usageLog[0];
    EXPECT_EQ(record.texts.at(USAGE_ITEM_DEVICE), u"9999999999#XL-9000");
    EXPECT_EQ(record.counts.at(USAGE_ITEM_PAGE_TOTAL), 6);
    EXPECT_EQ(FormatUsageRecord(record),
              "device=\"9999999999#XL-9000\" application=\"WINWORD.EXE\" pages=6");
    EXPECT_EQ(FormatUsageRecord(TheWorld().usageLog[1]), "");
}

TEST_F(ComTest, StringsCarryTheirLengthBeforeTheFirstCharacter) {
    struct Case {
        std::u16string text;
        UINT length;
    };
    const Case cases[] = {
        {u"", 0}, {u"abc", 3}, {std::u16string(u"a\0b", 3), 3}, {std::u16string(300, u'x'), 300}};
    for (const Case& c : cases) {
        BSTR text = SysAllocStringLen(c.text.data(), static_cast<UINT>(c.text.size()));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(SysStringLen(text), c.length);
        EXPECT_EQ(SysStringByteLen(text), c.length * 2);
        uint32_t prefix = 0;
        std::memcpy(&prefix, reinterpret_cast<BYTE*>(text) - 4, 4);
        EXPECT_EQ(prefix, c.length * 2);
        EXPECT_EQ(text[c.length], 0);
        EXPECT_EQ(std::u16string(text, c.length), c.text);
        SysFreeString(text);
    }
    BSTR zeros = SysAllocStringLen(nullptr, 4);
    EXPECT_EQ(std::u16string(zeros, 4), std::u16string(4, u'\0'));
    SysFreeString(zeros);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysAllocStringLen(u"", 0x7FFFFFFF),
              nullptr);  // more than the 32-bit prefix can count
    SysFreeString(nullptr);

    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(u"freed by VariantClear");
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY);
}

TEST_F(ComTest, IdentifiersAndTheirText) {
    TheWorld().uuidSeed = 7;
    UUID first{}, second{};
    ASSERT_EQ(UuidCreate(&first), RPC_S_OK);
    ASSERT_EQ(UuidCreate(&second), RPC_S_OK);
    EXPECT_NE(first, second);
    TheWorld().uuidSeed = 7;
    UUID again{};
    ASSERT_EQ(UuidCreate(&again), RPC_S_OK);
    EXPECT_EQ(first, again);
    EXPECT_EQ(first.Data3 >> 12, 4);         // version 4
    EXPECT_EQ(first.Data4[0] & 0xC0, 0x80);  // RFC 4122 variant

    TheWorld().uuidSeed.reset();
    std::set<std::string> seen;
    for (int i = 0; i < 16; ++i) {
        UUID id{};
        ASSERT_EQ(UuidCreate(&id), RPC_S_OK);
        RPC_CSTR text = nullptr;
        ASSERT_EQ(UuidToStringA(&id, &text), RPC_S_OK);
        const std::string formatted(reinterpret_cast<char*>(text));
        EXPECT_EQ(formatted.size(), 36u);
        EXPECT_EQ(formatted[14], '4');
        seen.insert(formatted);
        EXPECT_EQ(RpcStringFreeA(&text), RPC_S_OK);
        EXPECT_EQ(text, nullptr);
    }
    EXPECT_EQ(seen.size(), 16u);

    WCHAR text[39];
    EXPECT_EQ(StringFromGUID2(IID_IUsageReport, text, 38), 0);
    EXPECT_EQ(StringFromGUID2(IID_IUsageReport, text, 39), 39);
    EXPECT_EQ(std::u16string_view(text), u"{079B9B31-2097-4DDF-9834-BD689A752414}");
    EXPECT_EQ(GuidToString(CLSID_UsageReport), u"{877A5D52-5F6F-4175-907D-A6AC4E8F1171}");
}

}  // namespace
