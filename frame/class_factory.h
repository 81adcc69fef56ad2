// The class object of CLSID_OEMRENDER, and the class lookup behind DllGetClassObject.
#pragma once

#include <prcomoem.h>

namespace xlr {

class CClassFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  private:
    ~CClassFactory() = default;
    LONG volatile m_refCount = 1;
};

// DllGetClassObject's work: serves CLSID_OEMRENDER only.
HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);

}  // namespace xlr
