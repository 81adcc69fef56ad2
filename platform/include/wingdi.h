// GDI records the plug-in uses: the public device mode and logical fonts.
#pragma once

#include <cstddef>
#include "windef.h"

constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;
constexpr int LF_FACESIZE = 32;

// dmFields bits.
constexpr DWORD DM_ORIENTATION = 0x00000001;
constexpr DWORD DM_PAPERSIZE = 0x00000002;
constexpr DWORD DM_PAPERLENGTH = 0x00000004;
constexpr DWORD DM_PAPERWIDTH = 0x00000008;
constexpr DWORD DM_SCALE = 0x00000010;
constexpr DWORD DM_COPIES = 0x00000100;
constexpr DWORD DM_DEFAULTSOURCE = 0x00000200;
constexpr DWORD DM_PRINTQUALITY = 0x00000400;
constexpr DWORD DM_COLOR = 0x00000800;
constexpr DWORD DM_DUPLEX = 0x00001000;
constexpr DWORD DM_YRESOLUTION = 0x00002000;
constexpr DWORD DM_TTOPTION = 0x00004000;
constexpr DWORD DM_COLLATE = 0x00008000;
constexpr DWORD DM_FORMNAME = 0x00010000;
constexpr DWORD DM_NUP = 0x00000040;
constexpr DWORD DM_ICMMETHOD = 0x00800000;
constexpr DWORD DM_ICMINTENT = 0x01000000;
constexpr DWORD DM_MEDIATYPE = 0x02000000;

constexpr short DMORIENT_PORTRAIT = 1;
constexpr short DMORIENT_LANDSCAPE = 2;
constexpr short DMDUP_SIMPLEX = 1;
constexpr short DMDUP_VERTICAL = 2;
constexpr short DMDUP_HORIZONTAL = 3;
constexpr short DMCOLLATE_FALSE = 0;
constexpr short DMCOLLATE_TRUE = 1;
constexpr short DMCOLOR_MONOCHROME = 1;
constexpr short DMCOLOR_COLOR = 2;
constexpr short DMTT_BITMAP = 1;
constexpr short DMTT_DOWNLOAD = 2;
constexpr short DMTT_SUBDEV = 3;
constexpr short DMTT_DOWNLOAD_OUTLINE = 4;

constexpr short DMPAPER_LETTER = 1;
constexpr short DMPAPER_LEGAL = 5;
constexpr short DMPAPER_EXECUTIVE = 7;
constexpr short DMPAPER_A3 = 8;
constexpr short DMPAPER_A4 = 9;
constexpr short DMPAPER_A5 = 11;
constexpr short DMPAPER_B4 = 12;
constexpr short DMPAPER_B5 = 13;
constexpr short DMPAPER_TABLOID = 3;
constexpr short DMPAPER_USER = 256;

constexpr short DMBIN_UPPER = 1;
constexpr short DMBIN_LOWER = 2;
constexpr short DMBIN_MANUAL = 4;
constexpr short DMBIN_AUTO = 7;
constexpr short DMBIN_USER = 256;

constexpr DWORD DMMEDIA_STANDARD = 1;
constexpr DWORD DMMEDIA_TRANSPARENCY = 2;
constexpr DWORD DMMEDIA_GLOSSY = 3;
constexpr DWORD DMMEDIA_USER = 256;

constexpr DWORD DMICMMETHOD_NONE = 1;
constexpr DWORD DMICMMETHOD_SYSTEM = 2;
constexpr DWORD DMICM_CONTRAST = 2;

typedef struct _devicemodeW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    // Printer view of the union that display drivers use for position.
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmNup;  // dmDisplayFlags for displays
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
} DEVMODEW, *PDEVMODEW, *LPDEVMODEW;
typedef DEVMODEW DEVMODE;
typedef PDEVMODEW PDEVMODE;

static_assert(sizeof(DEVMODEW) == 220, "DEVMODEW has its Windows size");
static_assert(offsetof(DEVMODEW, dmOrientation) == 76);
static_assert(offsetof(DEVMODEW, dmColor) == 92);
static_assert(offsetof(DEVMODEW, dmFormName) == 102);
static_assert(offsetof(DEVMODEW, dmMediaType) == 196);

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW;

// Device capabilities of a printer (the lists Unidrv builds from its description).
constexpr WORD DC_PAPERS = 2;
constexpr WORD DC_PAPERNAMES = 16;
constexpr WORD DC_MEDIATYPENAMES = 34;
constexpr WORD DC_MEDIATYPES = 35;

extern "C" int WINAPI DeviceCapabilitiesW(LPCWSTR device, LPCWSTR port, WORD capability,
                                          LPWSTR output, const DEVMODEW* devmode);

// Escapes of ExtEscape that printer drivers answer.
constexpr ULONG QUERYESCSUPPORT = 8;
constexpr ULONG PASSTHROUGH = 19;
constexpr ULONG GETTECHNOLOGY = 20;

// GDIINFO ulTechnology.
constexpr ULONG DT_RASPRINTER = 2;
