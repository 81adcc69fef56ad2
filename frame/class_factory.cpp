#include "frame/class_factory.h"

#include <new>

#include "frame/entry_boundary.h"
#include "frame/module_state.h"
#include "frame/plugin_object.h"

namespace xlr {

HRESULT CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_refCount));
}

ULONG CClassFactory::Release() {
    const LONG count = InterlockedDecrement(&m_refCount);
    if (count == 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return Guarded(kComFailure, [&] {
        auto* plugin = new (std::nothrow) CRenderPlugin();
        if (plugin == nullptr) return E_OUTOFMEMORY;
        const HRESULT hr = plugin->QueryInterface(riid, ppv);
        plugin->Release();  // on failure this destroys the object
        return hr;
    });
}

HRESULT CClassFactory::LockServer(BOOL lock) {
    if (lock)
        AddServerLock();
    else
        RemoveServerLock();
    return S_OK;
}

HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (ppv != nullptr) *ppv = nullptr;
    if (rclsid != CLSID_OEMRENDER) return CLASS_E_CLASSNOTAVAILABLE;
    return Guarded(kComFailure, [&] {
        auto* factory = new (std::nothrow) CClassFactory();
        if (factory == nullptr) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    });
}

}  // namespace xlr
