// A small stand-in for Unidrv in unit tests: a driver helper that answers
// feature options from a map and records spool writes, and a device object with
// a public and a private device mode.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <prcomoem.h>

#include "settings/packed_block.h"

namespace xltest {

class FakeDriverHelper : public IPrintOemDriverUni {
  public:
    std::map<std::string, std::string> features;  // feature name → option keyword
    std::map<DWORD, LONG> standardVariables;
    std::string spooled;  // every DrvWriteSpoolBuf byte
    int spoolWrites = 0;
    bool failSpoolWrites = false;
    std::vector<std::string> featureReads;  // names asked for, in order

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID devobj, PCSTR feature, PVOID output,
                                                  DWORD size, PDWORD needed,
                                                  PDWORD optionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ devobj, PVOID buffer, DWORD size,
                                               DWORD* result) override;
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ devobj, DWORD index, PVOID buffer,
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

  private:
    ULONG refs_ = 1;
};

// A device object whose DRVPROCS write into the helper's spool record.
struct FakeDevice {
    FakeDevice();
    FakeDevice(const FakeDevice&) = delete;
    FakeDevice& operator=(const FakeDevice&) = delete;

    // Packs `record` as the private device mode.
    void SetSettings(const xlr::SettingsRecord& record);
    // The record packed in the private device mode now.
    xlr::SettingsRecord Settings() const;

    FakeDriverHelper helper;
    DRVPROCS procs{};
    DEVMODEW publicDevMode{};
    std::unique_ptr<xlr::PackedBlock> privateDevMode;
    DEVOBJ devobj{};
};

// A settings record with the defaults of the DevMode method for `dm`.
xlr::SettingsRecord DefaultSettings(const DEVMODEW& dm);

// A portrait letter-size colour device mode at 600 dpi.
DEVMODEW LetterDevMode();

}  // namespace xltest
