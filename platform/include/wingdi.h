// GDI records and services the plug-in uses: the public device mode, logical
// fonts and the text services that watermarks are drawn with.
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

// ---------------------------------------------------------------------------
// Text services: device contexts, fonts and glyphs. Fonts are the machine's
// own, found through fontconfig and rendered with FreeType.

DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HWND);
typedef void* HGDIOBJ;

typedef struct _FIXED {
    WORD fract;
    short value;
} FIXED;

typedef struct _MAT2 {
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
} MAT2, *LPMAT2;

typedef struct _GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;  // the black box's top-left corner; y counts upwards
    short gmCellIncX;
    short gmCellIncY;  // upwards
} GLYPHMETRICS, *LPGLYPHMETRICS;

constexpr DWORD GDI_ERROR = 0xFFFFFFFF;

// GetGlyphOutlineW formats.
constexpr UINT GGO_METRICS = 0;
constexpr UINT GGO_BITMAP = 1;
constexpr UINT GGO_GLYPH_INDEX = 0x0080;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE HANGUL_CHARSET = 129;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE CHINESEBIG5_CHARSET = 136;
constexpr BYTE GREEK_CHARSET = 161;
constexpr BYTE TURKISH_CHARSET = 162;
constexpr BYTE HEBREW_CHARSET = 177;
constexpr BYTE ARABIC_CHARSET = 178;
constexpr BYTE RUSSIAN_CHARSET = 204;
constexpr BYTE THAI_CHARSET = 222;
constexpr BYTE EASTEUROPE_CHARSET = 238;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;

// lfPitchAndFamily: the pitch in the low two bits, the family in the high four.
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// GetDeviceCaps indices.
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

extern "C" {

// The screen's device context when `window` is null (96 dots per inch); no
// other window exists.
HDC WINAPI GetDC(HWND window);
int WINAPI ReleaseDC(HWND window, HDC dc);
int WINAPI GetDeviceCaps(HDC dc, int index);

// A font of the machine's that best fits the description: the face by name,
// then the weight, slant and character set; a face that is not installed is
// replaced by one of its pitch and family, and one that lacks the character
// set's script by one that has it. Heights are pixels (negative: the em, positive:
// the cell). Escapement turns the glyphs counter-clockwise in tenths of a degree.
HFONT WINAPI CreateFontIndirectW(const LOGFONTW* font);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);

// Bytes of the selected font's file: the table with the tag `table` (its four
// bytes in file order read as a little-endian number), or with 0 the whole
// font, from `offset`. With no buffer or a size of 0, the number of bytes there
// are; else the number copied (at most `size`). GDI_ERROR for a font that is
// not TrueType or OpenType, a missing table or an offset past its end.
DWORD WINAPI GetFontData(HDC dc, DWORD table, DWORD offset, PVOID buffer, DWORD size);

// GGO_METRICS or GGO_BITMAP of a character (or a glyph index with
// GGO_GLYPH_INDEX), turned by the font's escapement and then by `matrix`.
// Bitmaps are one bit per pixel, leftmost pixel in the high bit, rows from the
// top, each padded to 32 bits. Answers the bitmap's size (0 for a glyph
// without ink, reported with a 1 × 1 black box) or GDI_ERROR.
DWORD WINAPI GetGlyphOutlineW(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics,
                              DWORD size, LPVOID buffer, const MAT2* matrix);

// Advance widths in pixels of the characters first … last, unturned.
BOOL WINAPI GetCharWidth32W(HDC dc, UINT first, UINT last, LPINT widths);
// The advances of the text added up, and the font's cell height (ascent and
// descent), unturned.
BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);

}  // extern "C"
