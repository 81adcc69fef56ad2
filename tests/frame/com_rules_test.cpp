// The COM rules of the plug-in module, exercised through the built libxlrender.so
// exactly as Unidrv reaches it: LoadLibraryW, DllGetClassObject, CreateInstance.
#include <gtest/gtest.h>

#include <prcomoem.h>
#include <xlplatform/world.h>

#include "support/run_command.h"

namespace {

constexpr CLSID kOtherClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string path = xltest::BinDir() + "/libxlrender.so";
        module_ = LoadLibraryW(xlplatform::Utf8ToUtf16(path).c_str());
        ASSERT_NE(module_, nullptr) << path;
        getClassObject_ =
            FunctionCast<LPFNGETCLASSOBJECT>(GetProcAddress(module_, "DllGetClassObject"));
        canUnloadNow_ = FunctionCast<LPFNCANUNLOADNOW>(GetProcAddress(module_, "DllCanUnloadNow"));
        ASSERT_NE(getClassObject_, nullptr);
        ASSERT_NE(canUnloadNow_, nullptr);
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }

    IClassFactory* Factory() {
        void* factory = nullptr;
        EXPECT_EQ(getClassObject_(CLSID_OEMRENDER, IID_IClassFactory, &factory), S_OK);
        return static_cast<IClassFactory*>(factory);
    }

    IPrintOemUni2* NewPlugin() {
        IClassFactory* factory = Factory();
        void* plugin = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, &plugin), S_OK);
        factory->Release();
        return static_cast<IPrintOemUni2*>(plugin);
    }

    HMODULE module_ = nullptr;
    LPFNGETCLASSOBJECT getClassObject_ = nullptr;
    LPFNCANUNLOADNOW canUnloadNow_ = nullptr;
};

TEST_F(ModuleTest, ExportsOnlyTheComEntryPoints) {
    // xlr::CanUnloadNow() and the plug-in class are inside the module but not exported.
    EXPECT_EQ(GetProcAddress(module_, "_ZN3xlr12CanUnloadNowEv"), nullptr);
    EXPECT_EQ(GetProcAddress(module_, "_ZN3xlr13CRenderPluginC1Ev"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
}

TEST_F(ModuleTest, UnknownClassIsNotAvailableAndCreatesNothing) {
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(getClassObject_(kOtherClass, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ModuleTest, ClassObjectAnswersOnlyItsInterfaces) {
    void* object = nullptr;
    EXPECT_EQ(getClassObject_(CLSID_OEMRENDER, IID_IPrintOemUni, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    IClassFactory* factory = Factory();
    void* unknown = nullptr;
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, static_cast<void*>(factory));
    static_cast<IUnknown*>(unknown)->Release();
    void* other = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->QueryInterface(IID_IPrintOemDriverUni, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    // The caller held the only reference: one Release destroys the class object.
    EXPECT_EQ(factory->Release(), 0u);
}

TEST_F(ModuleTest, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
    IClassFactory* factory = Factory();
    void* plugin = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IPrintOemUni2, &plugin), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(plugin, nullptr);
    plugin = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &plugin), E_NOINTERFACE);
    EXPECT_EQ(plugin, nullptr);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK) << "a failed CreateInstance leaves no object behind";
}

TEST_F(ModuleTest, CanUnloadNowFollowsLiveObjectsAndServerLocks) {
    EXPECT_EQ(canUnloadNow_(), S_OK);
    IPrintOemUni2* plugin = NewPlugin();
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(plugin->AddRef(), 2u);
    EXPECT_EQ(plugin->Release(), 1u);
    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(canUnloadNow_(), S_OK);

    IClassFactory* factory = Factory();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a locked server stays loaded";
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ModuleTest, PluginInterfacesShareOneIdentity) {
    IPrintOemUni2* plugin = NewPlugin();
    void* uni = nullptr;
    void* uni2 = nullptr;
    void* unknown = nullptr;
    ASSERT_EQ(plugin->QueryInterface(IID_IPrintOemUni, &uni), S_OK);
    ASSERT_EQ(plugin->QueryInterface(IID_IPrintOemUni2, &uni2), S_OK);
    ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(uni, uni2);
    EXPECT_EQ(unknown, uni2);
    void* other = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(plugin->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr) << "E_NOINTERFACE clears the out pointer";
    EXPECT_EQ(plugin->Release(), 3u);
    plugin->Release();
    plugin->Release();
    plugin->Release();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

// Unidrv calls the plug-in through the method table by slot number; the slots
// must sit where the interface puts them.
TEST_F(ModuleTest, MethodTableSlotsAreInInterfaceOrder) {
    IPrintOemUni2* plugin = NewPlugin();
    void** table = *reinterpret_cast<void***>(plugin);

    using GetInfoFn = HRESULT (*)(void*, DWORD, PVOID, DWORD, PDWORD);
    DWORD value = 0, needed = 0;
    EXPECT_EQ(reinterpret_cast<GetInfoFn>(table[3])(plugin, OEMGI_GETVERSION, &value, 4, &needed),
              S_OK);
    EXPECT_EQ(value, 0x00010014u);

    using GetImplementedMethodFn = HRESULT (*)(void*, PSTR);
    char name[] = "WritePrinter";
    EXPECT_EQ(reinterpret_cast<GetImplementedMethodFn>(table[11])(plugin, name), S_OK);

    using DevModeFn = HRESULT (*)(void*, DWORD, POEMDMPARAM);
    OEMDMPARAM param{};
    EXPECT_EQ(reinterpret_cast<DevModeFn>(table[4])(plugin, OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, 7180u);

    using DisableDriverFn = HRESULT (*)(void*);
    EXPECT_EQ(reinterpret_cast<DisableDriverFn>(table[6])(plugin), S_OK);

    // Slots 12 and 14 to 23 and 25 are left to Unidrv.
    using StubFn =
        HRESULT (*)(void*, void*, void*, void*, void*, void*, void*, void*, void*, void*, void*);
    for (int slot : {12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 25}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(reinterpret_cast<StubFn>(table[slot])(plugin, nullptr, nullptr, nullptr, nullptr,
                                                        nullptr, nullptr, nullptr, nullptr, nullptr,
                                                        nullptr),
                  E_NOTIMPL);
    }
    plugin->Release();
}

}  // namespace
