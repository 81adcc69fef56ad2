// Unidrv's rendering plug-in records: the device object and its procedure table,
// the device-mode call block, font objects and the constants of the plug-in calls.
#pragma once

#include "winddi.h"

// GetInfo modes.
constexpr DWORD OEMGI_GETSIGNATURE = 1;
constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
constexpr DWORD OEMGI_GETVERSION = 3;
constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;

// DevMode modes.
constexpr DWORD OEMDM_SIZE = 1;
constexpr DWORD OEMDM_DEFAULT = 2;
constexpr DWORD OEMDM_CONVERT = 3;
constexpr DWORD OEMDM_MERGE = 4;

constexpr DWORD PRINTER_OEMINTF_VERSION = 0x00010000;

typedef struct _DEVOBJ DEVOBJ, *PDEVOBJ;
typedef PVOID PDEVOEM;

// Driver procedures that Unidrv offers through the device object.
typedef DWORD (*PFN_DrvWriteSpoolBuf)(PDEVOBJ pdevobj, PVOID buffer, DWORD size);
typedef INT (*PFN_DrvXMoveTo)(PDEVOBJ pdevobj, INT x, DWORD flags);
typedef INT (*PFN_DrvYMoveTo)(PDEVOBJ pdevobj, INT y, DWORD flags);
typedef BOOL (*PFN_DrvGetDriverSetting)(PVOID pdriverobj, PCSTR feature, PVOID output, DWORD size,
                                        PDWORD needed, PDWORD optionsReturned);
typedef BOOL (*PFN_DrvGetStandardVariable)(PDEVOBJ pdevobj, DWORD index, PVOID buffer, DWORD size,
                                           PDWORD needed);
typedef BOOL (*PFN_DrvUnidriverTextOut)(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                        RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                        BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);
typedef DWORD (*PFN_DrvWriteAbortBuf)(PDEVOBJ pdevobj, PVOID buffer, DWORD size, DWORD wait);

typedef struct _DRVPROCS {
    PFN_DrvWriteSpoolBuf DrvWriteSpoolBuf;
    PFN_DrvXMoveTo DrvXMoveTo;
    PFN_DrvYMoveTo DrvYMoveTo;
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PFN_DrvGetStandardVariable DrvGetStandardVariable;
    PFN_DrvUnidriverTextOut DrvUnidriverTextOut;
    PFN_DrvWriteAbortBuf DrvWriteAbortBuf;
} DRVPROCS, *PDRVPROCS;

struct _DEVOBJ {
    DWORD dwSize;
    PDEVOEM pdevOEM;     // the plug-in's per-device state
    HANDLE hEngine;      // the graphics engine's device
    HANDLE hPrinter;     // spooler handle of the printer
    HANDLE hOEM;         // the plug-in module
    PDEVMODE pPublicDM;  // public device mode of the job
    PVOID pOEMDM;        // the plug-in's private part of the device mode
    PDRVPROCS pDrvProcs;
};

typedef struct _OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODE pPublicDMIn;
    PDEVMODE pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
} OEMDMPARAM, *POEMDMPARAM;

typedef struct _FINVOCATION {
    DWORD dwCount;
    PBYTE pInvocation;
} FINVOCATION, *PFINVOCATION;

typedef struct _UNIFONTOBJ UNIFONTOBJ, *PUNIFONTOBJ;
typedef BOOL (*PFNGETINFO)(PUNIFONTOBJ pUFObj, DWORD infoId, PVOID data, DWORD dataSize,
                           PDWORD needed);
struct _UNIFONTOBJ {
    ULONG ulFontID;
    DWORD dwFlags;
    PVOID pIFIMetrics;
    PFNGETINFO pfnGetInfo;
};

// UNIFONTOBJ information requests.
constexpr DWORD UFO_GETINFO_FONTOBJ = 1;
constexpr DWORD UFO_GETINFO_GLYPHSTRING = 2;
constexpr DWORD UFO_GETINFO_GLYPHBITMAP = 3;
constexpr DWORD UFO_GETINFO_GLYPHWIDTH = 4;
constexpr DWORD UFO_GETINFO_MEMORY = 5;
constexpr DWORD UFO_GETINFO_STDVARIABLE = 6;

typedef struct _GETINFO_STDVAR {
    DWORD dwSize;
    DWORD dwNumOfVariable;
    struct {
        DWORD dwStdVarID;
        LONG lStdVariable;
    } StdVar[1];
} GETINFO_STDVAR, *PGETINFO_STDVAR;
static_assert(sizeof(GETINFO_STDVAR) == 16);

// Font standard variables.
constexpr DWORD FNT_INFO_PRINTDIRINCCDEGREES = 0;
constexpr DWORD FNT_INFO_GRAYPERCENTAGE = 1;
constexpr DWORD FNT_INFO_NEXTFONTID = 2;
constexpr DWORD FNT_INFO_NEXTGLYPH = 3;
constexpr DWORD FNT_INFO_FONTHEIGHT = 4;
constexpr DWORD FNT_INFO_FONTWIDTH = 5;

// Standard variables of DrvGetStandardVariable.
constexpr DWORD SVI_NUMDATABYTES = 0;
constexpr DWORD SVI_WIDTHINBYTES = 1;
constexpr DWORD SVI_HEIGHTINPIXELS = 2;
constexpr DWORD SVI_COPIES = 3;
constexpr DWORD SVI_PRINTDIRECTION = 4;
constexpr DWORD SVI_DESTX = 5;
constexpr DWORD SVI_DESTY = 6;
constexpr DWORD SVI_DESTXREL = 7;
constexpr DWORD SVI_DESTYREL = 8;
constexpr DWORD SVI_LINEFEEDSPACING = 9;
constexpr DWORD SVI_RECTXSIZE = 10;
constexpr DWORD SVI_RECTYSIZE = 11;
constexpr DWORD SVI_GRAYPERCENT = 12;
constexpr DWORD SVI_NEXTFONTID = 13;
constexpr DWORD SVI_NEXTGLYPH = 14;
constexpr DWORD SVI_PHYSPAPERLENGTH = 15;
constexpr DWORD SVI_PHYSPAPERWIDTH = 16;
constexpr DWORD SVI_FONTHEIGHT = 17;
constexpr DWORD SVI_FONTWIDTH = 18;
constexpr DWORD SVI_FONTMAXWIDTH = 19;
constexpr DWORD SVI_FONTBOLD = 20;
constexpr DWORD SVI_FONTITALIC = 21;
constexpr DWORD SVI_FONTUNDERLINE = 22;
constexpr DWORD SVI_FONTSTRIKETHRU = 23;
constexpr DWORD SVI_CURRENTFONTID = 24;
constexpr DWORD SVI_TEXTYRES = 25;
constexpr DWORD SVI_TEXTXRES = 26;

typedef struct _OEMMEMORYUSAGE OEMMEMORYUSAGE, *POEMMEMORYUSAGE;
typedef struct _IPPARAMS IPPARAMS, *PIPPARAMS;
