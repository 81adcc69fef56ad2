// Unidrv's driver helper interface as the plug-in receives it through
// PublishDriverInterface: feature options from the printer description, spool
// writes and standard variables of the device.
#pragma once

#include <functional>
#include <optional>

#include <prcomoem.h>

#include "host/gpd/feature_selection.h"

namespace xlhost {

class CDriverHelper final : public IPrintOemDriverUni {
  public:
    // Writes job bytes of the device; returns the bytes taken.
    using SpoolWriter = std::function<DWORD(PDEVOBJ device, const void* data, DWORD size)>;
    // A standard variable (SVI_...) of the device, or nothing.
    using VariableReader = std::function<std::optional<LONG>(PDEVOBJ device, DWORD index)>;

    CDriverHelper(const FeatureSelection& features, SpoolWriter spool, VariableReader variables);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID output,
                                                  DWORD size, PDWORD needed,
                                                  PDWORD optionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size,
                                               DWORD* result) override;
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD index, PVOID buffer,
                                                     DWORD size, PDWORD needed) override;
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

    // The same answers for the DRVPROCS of the device object.
    BOOL GetDriverSetting(PCSTR feature, PVOID output, DWORD size, PDWORD needed,
                          PDWORD optionsReturned);
    BOOL GetStandardVariable(PDEVOBJ pdevobj, DWORD index, PVOID buffer, DWORD size, PDWORD needed);

    ULONG References() const { return refs_; }

  private:
    const FeatureSelection& features_;
    SpoolWriter spool_;
    VariableReader variables_;
    ULONG refs_ = 1;  // the host's own reference; the object lives with the device
};

}  // namespace xlhost
