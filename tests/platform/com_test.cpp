// COM apartments, object creation, the usage-reporting component and BSTRs.
#include <objbase.h>
#include <oleauto.h>
#include <usagereport.h>

#include <cstring>
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

TEST_F(ComTest, CreationChecksClassContextInterfaceAndAggregation) {
    constexpr GUID kOther = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};
    IUnknown* report = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_UsageReport, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&report)),
              S_OK);
    const struct {
        REFCLSID clsid;
        IUnknown* outer;
        DWORD context;
        REFIID iid;
        HRESULT result;
    } cases[] = {
        {kOther, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, REGDB_E_CLASSNOTREG},
        {CLSID_UsageReport, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, REGDB_E_CLASSNOTREG},
        {CLSID_UsageReport, nullptr, CLSCTX_INPROC_SERVER, kOther, E_NOINTERFACE},
        {CLSID_UsageReport, report, CLSCTX_INPROC_SERVER, IID_IUnknown, CLASS_E_NOAGGREGATION},
    };
    for (const auto& c : cases) {
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(c.clsid, c.outer, c.context, c.iid, &object), c.result);
        EXPECT_EQ(object, nullptr);  // a failure never leaves a pointer behind
    }
    EXPECT_EQ(report->Release(), 0u);
}

TEST_F(ComTest, UsageComponentAppendsEachSentRecordToTheLog) {
    IUsageReport* report = nullptr;
    // The context the plug-in asks for: in-process, local or remote server.
    ASSERT_EQ(CoCreateInstance(CLSID_UsageReport, nullptr, 21, IID_IUsageReport,
                               reinterpret_cast<void**>(&report)),
              S_OK);
    ASSERT_NE(report, nullptr);
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
    EXPECT_EQ(report->Send(), S_OK);
    EXPECT_EQ(report->Send(), S_OK);  // a second send starts from an empty record
    SysFreeString(device);
    SysFreeString(application);
    EXPECT_EQ(report->Release(), 0u);

    // The sent record itself, one per document, is read back by the plug-in's tests.
    ASSERT_EQ(TheWorld().usageLog.size(), 2u);
    EXPECT_EQ(FormatUsageRecord(TheWorld().usageLog[1]), "");
}

TEST_F(ComTest, StringsCarryTheirByteLengthBeforeTheFirstCharacter) {
    for (const std::u16string& text :
         {std::u16string(), std::u16string(u"a\0b", 3), std::u16string(300, u'x')}) {
        BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(SysStringLen(copy), text.size());
        uint32_t prefix = 0;
        std::memcpy(&prefix, reinterpret_cast<BYTE*>(copy) - 4, 4);
        EXPECT_EQ(prefix, text.size() * 2);
        EXPECT_EQ(std::u16string(copy, text.size() + 1), text + u'\0');
        SysFreeString(copy);
    }
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    // More than the 32-bit prefix can count.
    EXPECT_EQ(SysAllocStringLen(u"", 0x7FFFFFFF), nullptr);
}

}  // namespace
