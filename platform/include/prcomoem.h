// Unidrv's published COM interfaces for plug-ins: the driver helper interface
// that Unidrv offers, and the rendering plug-in interface the plug-in implements.
// Method order is the method-table order and must not change.
#pragma once

#include "objbase.h"
#include "printoem.h"

inline constexpr CLSID CLSID_OEMRENDER = {
    0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};
inline constexpr IID IID_IPrintOemUni = {
    0xD67EBBF0, 0x78BF, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
inline constexpr IID IID_IPrintOemUni2 = {
    0xB91220AC, 0x15CC, 0x4E7A, {0xA2, 0x1E, 0x95, 0x91, 0xF3, 0x4D, 0x6F, 0x6C}};
inline constexpr IID IID_IPrintOemDriverUni = {
    0xD67EBBF1, 0x78BF, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};

struct IPrintOemDriverUni : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature,
                                                          PVOID output, DWORD size, PDWORD needed,
                                                          PDWORD optionsReturned) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size,
                                                       DWORD* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ pdevobj, INT x, DWORD flags,
                                                 INT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD flags,
                                                 INT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD index,
                                                             PVOID buffer, DWORD size,
                                                             PDWORD needed) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ pdevobj, DWORD type, PVOID input,
                                                    PVOID buffer, DWORD size, PDWORD needed) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                                    CLIPOBJ* pco, RECTL* prclExtra,
                                                    RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                    BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                                                    MIX mix) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size,
                                                       DWORD wait) = 0;
};

// The rendering plug-in interface, slots 3 to 25 after IUnknown's three.
struct IPrintOemUni : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD mode, PVOID buffer, DWORD size,
                                              PDWORD needed) = 0;                  // 3
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD mode, POEMDMPARAM param) = 0;  // 4
    virtual HRESULT STDMETHODCALLTYPE EnableDriver(DWORD driverVersion, DWORD size,
                                                   PDRVENABLEDATA ded) = 0;  // 5
    virtual HRESULT STDMETHODCALLTYPE DisableDriver() = 0;                   // 6
    virtual HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR printerName,
                                                 ULONG patternCount, HSURF* patterns,
                                                 ULONG gdiInfoSize, GDIINFO* gdiInfo,
                                                 ULONG devInfoSize, DEVINFO* devInfo,
                                                 DRVENABLEDATA* ded,
                                                 PDEVOEM* devOem) = 0;   // 7
    virtual HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) = 0;  // 8
    virtual HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ oldDevobj,
                                                PDEVOBJ newDevobj) = 0;               // 9
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* unknown) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR methodName) = 0;      // 11
    virtual HRESULT STDMETHODCALLTYPE DriverDMS(PVOID devobj, PVOID buffer, DWORD size,
                                                PDWORD needed) = 0;  // 12
    virtual HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ pdevobj, DWORD callbackId,
                                                      DWORD count, PDWORD params,
                                                      INT* result) = 0;  // 13
    virtual HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ pdevobj, PBYTE srcBitmap,
                                                      PBITMAPINFOHEADER header, PBYTE colorTable,
                                                      DWORD callbackId, PIPPARAMS params,
                                                      PBYTE* result) = 0;  // 14
    virtual HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ pdevobj, PBYTE buffer,
                                                     DWORD length) = 0;  // 15
    virtual HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ pdevobj, PBYTE in, PBYTE out,
                                                  DWORD inLength, DWORD outLength,
                                                  INT* result) = 0;  // 16
    virtual HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ pdevobj, PBYTE pattern,
                                                      DWORD patternX, DWORD patternY,
                                                      DWORD patternCount, DWORD callbackId,
                                                      PBYTE resource,
                                                      DWORD resourceSize) = 0;  // 17
    virtual HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ pdevobj,
                                                  POEMMEMORYUSAGE usage) = 0;  // 18
    virtual HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ pdevobj, DWORD infoIndex, PVOID output,
                                                 DWORD size,
                                                 DWORD* needed) = 0;  // 19
    virtual HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                                         DWORD* result) = 0;  // 20
    virtual HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                                        HGLYPH glyph, PDWORD width,
                                                        DWORD* result) = 0;  // 21
    virtual HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                                       DWORD* result) = 0;  // 22
    virtual HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ pdevobj, PUNIFONTOBJ font, DWORD type,
                                                    DWORD count,
                                                    PVOID glyphs) = 0;  // 23
    virtual HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                                  PFINVOCATION invocation) = 0;  // 24
    virtual HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                                      CLIPOBJ* pco, RECTL* prclExtra,
                                                      RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                      BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                                                      MIX mix) = 0;  // 25
};

struct IPrintOemUni2 : IPrintOemUni {
    virtual HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ pdevobj, PVOID buffer, DWORD size,
                                                   PDWORD written) = 0;  // 26
};
