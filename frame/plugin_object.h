// The plug-in object: Unidrv's rendering plug-in interface, IPrintOemUni2.
#pragma once

#include <prcomoem.h>

#include "job/names/name_recording.h"

namespace xlr {

// The methods GetImplementedMethod answers S_OK for (names compared exactly).
bool IsImplementedMethod(const char* name);

class CRenderPlugin final : public IPrintOemUni2 {
  public:
    CRenderPlugin();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPrintOemUni
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) override;
    HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, POEMDMPARAM param) override;
    HRESULT STDMETHODCALLTYPE EnableDriver(DWORD driverVersion, DWORD size,
                                           PDRVENABLEDATA ded) override;
    HRESULT STDMETHODCALLTYPE DisableDriver() override;
    HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR printerName, ULONG patternCount,
                                         HSURF* patterns, ULONG gdiInfoSize, GDIINFO* gdiInfo,
                                         ULONG devInfoSize, DEVINFO* devInfo, DRVENABLEDATA* ded,
                                         PDEVOEM* devOem) override;
    HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) override;
    HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ oldDevobj, PDEVOBJ newDevobj) override;
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* unknown) override;
    HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR methodName) override;
    HRESULT STDMETHODCALLTYPE DriverDMS(PVOID devobj, PVOID buffer, DWORD size,
                                        PDWORD needed) override;
    HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ pdevobj, DWORD callbackId, DWORD count,
                                              PDWORD params, INT* result) override;
    HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ pdevobj, PBYTE srcBitmap,
                                              PBITMAPINFOHEADER header, PBYTE colorTable,
                                              DWORD callbackId, PIPPARAMS params,
                                              PBYTE* result) override;
    HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ pdevobj, PBYTE buffer, DWORD length) override;
    HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ pdevobj, PBYTE in, PBYTE out, DWORD inLength,
                                          DWORD outLength, INT* result) override;
    HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ pdevobj, PBYTE pattern, DWORD patternX,
                                              DWORD patternY, DWORD patternCount, DWORD callbackId,
                                              PBYTE resource, DWORD resourceSize) override;
    HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ pdevobj, POEMMEMORYUSAGE usage) override;
    HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ pdevobj, DWORD infoIndex, PVOID output, DWORD size,
                                         DWORD* needed) override;
    HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                                 DWORD* result) override;
    HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ pdevobj, PUNIFONTOBJ font, HGLYPH glyph,
                                                PDWORD width, DWORD* result) override;
    HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                               DWORD* result) override;
    HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ pdevobj, PUNIFONTOBJ font, DWORD type,
                                            DWORD count, PVOID glyphs) override;
    HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                          PFINVOCATION invocation) override;
    HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                              CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                                              BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque,
                                              POINTL* pptlOrg, MIX mix) override;

    // IPrintOemUni2
    HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ pdevobj, PVOID buffer, DWORD size,
                                           PDWORD written) override;

    // The driver helper interface published by Unidrv, or null.
    IPrintOemDriverUni* DriverHelper() const { return m_driverHelper; }

  private:
    ~CRenderPlugin();

    IPrintOemDriverUni* m_driverHelper = nullptr;  // one reference held
    NameRecorder m_names;                          // who prints, recorded at DevMode
    LONG volatile m_refCount = 1;
};

}  // namespace xlr
