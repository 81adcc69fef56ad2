// The graphics engine's driver interface: the hook table and the device records
// exchanged at enable, surfaces, clip, path, brush and colour-translation objects,
// the Drv* entry point types and the Eng* services that drivers call back.
// Names, values and field orders are those of the Windows driver interface.
#pragma once

#include <cstddef>

#include "windows.h"

DECLARE_HANDLE(HSURF);
DECLARE_HANDLE(DHSURF);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HDEV);
DECLARE_HANDLE(HPALETTE);
typedef struct DHPDEV__* DHPDEV;
typedef ULONG MIX;
typedef ULONG ROP4;
typedef ULONG HGLYPH;
typedef LONG FIX;  // 28.4 fixed point: 16 units per device pixel
typedef FLOAT FLOATL;
typedef USHORT COLOR16;

typedef LONG_PTR (*PFN)();

// ---------------------------------------------------------------------------
// Hook table.

typedef struct _DRVFN {
    ULONG iFunc;
    PFN pfn;
} DRVFN, *PDRVFN;

typedef struct tagDRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;
    DRVFN* pdrvfn;
} DRVENABLEDATA, *PDRVENABLEDATA;

constexpr ULONG DDI_DRIVER_VERSION_NT4 = 0x00020000;
constexpr ULONG DDI_DRIVER_VERSION_SP3 = 0x00020003;
constexpr ULONG DDI_DRIVER_VERSION_NT5 = 0x00030000;
constexpr ULONG DDI_DRIVER_VERSION_NT5_01 = 0x00030100;
constexpr ULONG DDI_DRIVER_VERSION_NT5_01_SP1 = 0x00030101;

// Function indices of DRVFN.iFunc.
constexpr ULONG INDEX_DrvEnablePDEV = 0;
constexpr ULONG INDEX_DrvCompletePDEV = 1;
constexpr ULONG INDEX_DrvDisablePDEV = 2;
constexpr ULONG INDEX_DrvEnableSurface = 3;
constexpr ULONG INDEX_DrvDisableSurface = 4;
constexpr ULONG INDEX_DrvAssertMode = 5;
constexpr ULONG INDEX_DrvOffset = 6;
constexpr ULONG INDEX_DrvResetPDEV = 7;
constexpr ULONG INDEX_DrvDisableDriver = 8;
constexpr ULONG INDEX_DrvCreateDeviceBitmap = 10;
constexpr ULONG INDEX_DrvDeleteDeviceBitmap = 11;
constexpr ULONG INDEX_DrvRealizeBrush = 12;
constexpr ULONG INDEX_DrvDitherColor = 13;
constexpr ULONG INDEX_DrvStrokePath = 14;
constexpr ULONG INDEX_DrvFillPath = 15;
constexpr ULONG INDEX_DrvStrokeAndFillPath = 16;
constexpr ULONG INDEX_DrvPaint = 17;
constexpr ULONG INDEX_DrvBitBlt = 18;
constexpr ULONG INDEX_DrvCopyBits = 19;
constexpr ULONG INDEX_DrvStretchBlt = 20;
constexpr ULONG INDEX_DrvSetPalette = 22;
constexpr ULONG INDEX_DrvTextOut = 23;
constexpr ULONG INDEX_DrvEscape = 24;
constexpr ULONG INDEX_DrvDrawEscape = 25;
constexpr ULONG INDEX_DrvQueryFont = 26;
constexpr ULONG INDEX_DrvQueryFontTree = 27;
constexpr ULONG INDEX_DrvQueryFontData = 28;
constexpr ULONG INDEX_DrvSetPointerShape = 29;
constexpr ULONG INDEX_DrvMovePointer = 30;
constexpr ULONG INDEX_DrvLineTo = 31;
constexpr ULONG INDEX_DrvSendPage = 32;
constexpr ULONG INDEX_DrvStartPage = 33;
constexpr ULONG INDEX_DrvEndDoc = 34;
constexpr ULONG INDEX_DrvStartDoc = 35;
constexpr ULONG INDEX_DrvGetGlyphMode = 37;
constexpr ULONG INDEX_DrvSynchronize = 38;
constexpr ULONG INDEX_DrvSaveScreenBits = 40;
constexpr ULONG INDEX_DrvGetModes = 41;
constexpr ULONG INDEX_DrvFree = 42;
constexpr ULONG INDEX_DrvDestroyFont = 43;
constexpr ULONG INDEX_DrvQueryFontCaps = 44;
constexpr ULONG INDEX_DrvLoadFontFile = 45;
constexpr ULONG INDEX_DrvUnloadFontFile = 46;
constexpr ULONG INDEX_DrvFontManagement = 47;
constexpr ULONG INDEX_DrvQueryTrueTypeTable = 48;
constexpr ULONG INDEX_DrvQueryTrueTypeOutline = 49;
constexpr ULONG INDEX_DrvGetTrueTypeFile = 50;
constexpr ULONG INDEX_DrvQueryFontFile = 51;
constexpr ULONG INDEX_DrvMovePanning = 52;
constexpr ULONG INDEX_DrvQueryAdvanceWidths = 53;
constexpr ULONG INDEX_DrvSetPixelFormat = 54;
constexpr ULONG INDEX_DrvDescribePixelFormat = 55;
constexpr ULONG INDEX_DrvSwapBuffers = 56;
constexpr ULONG INDEX_DrvStartBanding = 57;
constexpr ULONG INDEX_DrvNextBand = 58;
constexpr ULONG INDEX_DrvGetDirectDrawInfo = 59;
constexpr ULONG INDEX_DrvEnableDirectDraw = 60;
constexpr ULONG INDEX_DrvDisableDirectDraw = 61;
constexpr ULONG INDEX_DrvQuerySpoolType = 62;
constexpr ULONG INDEX_DrvIcmCreateColorTransform = 64;
constexpr ULONG INDEX_DrvIcmDeleteColorTransform = 65;
constexpr ULONG INDEX_DrvIcmCheckBitmapBits = 66;
constexpr ULONG INDEX_DrvIcmSetDeviceGammaRamp = 67;
constexpr ULONG INDEX_DrvGradientFill = 68;
constexpr ULONG INDEX_DrvStretchBltROP = 69;
constexpr ULONG INDEX_DrvPlgBlt = 70;
constexpr ULONG INDEX_DrvAlphaBlend = 71;
constexpr ULONG INDEX_DrvSynthesizeFont = 72;
constexpr ULONG INDEX_DrvGetSynthesizedFontFiles = 73;
constexpr ULONG INDEX_DrvTransparentBlt = 74;
constexpr ULONG INDEX_DrvQueryPerBandInfo = 75;
constexpr ULONG INDEX_DrvQueryDeviceSupport = 76;
constexpr ULONG INDEX_DrvReserved1 = 77;
constexpr ULONG INDEX_DrvReserved2 = 78;
constexpr ULONG INDEX_DrvReserved3 = 79;
constexpr ULONG INDEX_DrvReserved4 = 80;
constexpr ULONG INDEX_DrvReserved5 = 81;
constexpr ULONG INDEX_DrvReserved6 = 82;
constexpr ULONG INDEX_DrvReserved7 = 83;
constexpr ULONG INDEX_DrvReserved8 = 84;
constexpr ULONG INDEX_DrvDeriveSurface = 85;
constexpr ULONG INDEX_DrvQueryGlyphAttrs = 86;
constexpr ULONG INDEX_DrvNotify = 87;
constexpr ULONG INDEX_DrvSynchronizeSurface = 88;
constexpr ULONG INDEX_DrvResetDevice = 89;
constexpr ULONG INDEX_DrvReserved9 = 90;
constexpr ULONG INDEX_DrvReserved10 = 91;
constexpr ULONG INDEX_DrvReserved11 = 92;
constexpr ULONG INDEX_LAST = 93;

// ---------------------------------------------------------------------------
// Device capabilities at enable.

typedef struct _CIECHROMA {
    LONG x;
    LONG y;
    LONG Y;
} CIECHROMA;

typedef struct _COLORINFO {
    CIECHROMA Red;
    CIECHROMA Green;
    CIECHROMA Blue;
    CIECHROMA Cyan;
    CIECHROMA Magenta;
    CIECHROMA Yellow;
    CIECHROMA AlignmentWhite;
    LONG RedGamma;
    LONG GreenGamma;
    LONG BlueGamma;
    LONG MagentaInCyanDye;
    LONG YellowInCyanDye;
    LONG CyanInMagentaDye;
    LONG YellowInMagentaDye;
    LONG CyanInYellowDye;
    LONG MagentaInYellowDye;
} COLORINFO;

typedef struct _GDIINFO {
    ULONG ulVersion;
    ULONG ulTechnology;
    ULONG ulHorzSize;
    ULONG ulVertSize;
    ULONG ulHorzRes;
    ULONG ulVertRes;
    ULONG cBitsPixel;
    ULONG cPlanes;
    ULONG ulNumColors;
    ULONG flRaster;
    ULONG ulLogPixelsX;
    ULONG ulLogPixelsY;
    ULONG flTextCaps;
    ULONG ulDACRed;
    ULONG ulDACGreen;
    ULONG ulDACBlue;
    ULONG ulAspectX;
    ULONG ulAspectY;
    ULONG ulAspectXY;
    LONG xStyleStep;
    LONG yStyleStep;
    LONG denStyleStep;
    POINTL ptlPhysOffset;
    SIZEL szlPhysSize;
    ULONG ulNumPalReg;
    COLORINFO ciDevice;
    ULONG ulDevicePelsDPI;
    ULONG ulPrimaryOrder;
    ULONG ulHTPatternSize;
    ULONG ulHTOutputFormat;
    ULONG flHTFlags;
    ULONG ulVRefresh;
    ULONG ulBltAlignment;
    ULONG ulPanningHorzRes;
    ULONG ulPanningVertRes;
    ULONG xPanningAlignment;
    ULONG yPanningAlignment;
    ULONG cxHTPat;
    ULONG cyHTPat;
    LPBYTE pHTPatA;
    LPBYTE pHTPatB;
    LPBYTE pHTPatC;
    ULONG flShadeBlend;
    ULONG ulPhysicalPixelCharacteristics;
    ULONG ulPhysicalPixelGamma;
} GDIINFO, *PGDIINFO;

typedef struct tagDEVINFO {
    FLONG flGraphicsCaps;
    LOGFONTW lfDefaultFont;
    LOGFONTW lfAnsiVarFont;
    LOGFONTW lfAnsiFixFont;
    ULONG cFonts;
    ULONG iDitherFormat;
    USHORT cxDither;
    USHORT cyDither;
    HPALETTE hpalDefault;
    FLONG flGraphicsCaps2;
} DEVINFO, *PDEVINFO;

// DEVINFO.flGraphicsCaps.
constexpr FLONG GCAPS_BEZIERS = 0x00000001;
constexpr FLONG GCAPS_GEOMETRICWIDE = 0x00000002;
constexpr FLONG GCAPS_ALTERNATEFILL = 0x00000004;
constexpr FLONG GCAPS_WINDINGFILL = 0x00000008;
constexpr FLONG GCAPS_HALFTONE = 0x00000010;
constexpr FLONG GCAPS_COLOR_DITHER = 0x00000020;
constexpr FLONG GCAPS_HORIZSTRIKE = 0x00000040;
constexpr FLONG GCAPS_VERTSTRIKE = 0x00000080;
constexpr FLONG GCAPS_OPAQUERECT = 0x00000100;
constexpr FLONG GCAPS_VECTORFONT = 0x00000200;
constexpr FLONG GCAPS_MONO_DITHER = 0x00000400;
constexpr FLONG GCAPS_ASYNCCHANGE = 0x00000800;
constexpr FLONG GCAPS_ASYNCMOVE = 0x00001000;
constexpr FLONG GCAPS_DONTJOURNAL = 0x00002000;
constexpr FLONG GCAPS_DIRECTDRAW = 0x00004000;
constexpr FLONG GCAPS_ARBRUSHOPAQUE = 0x00008000;
constexpr FLONG GCAPS_PANNING = 0x00010000;
constexpr FLONG GCAPS_HIGHRESTEXT = 0x00040000;
constexpr FLONG GCAPS_PALMANAGED = 0x00080000;
constexpr FLONG GCAPS_DITHERONREALIZE = 0x00200000;
constexpr FLONG GCAPS_NO64BITMEMACCESS = 0x00400000;
constexpr FLONG GCAPS_FORCEDITHER = 0x00800000;
constexpr FLONG GCAPS_GRAY16 = 0x01000000;
constexpr FLONG GCAPS_ICM = 0x02000000;
constexpr FLONG GCAPS_CMYKCOLOR = 0x04000000;
constexpr FLONG GCAPS_LAYERED = 0x08000000;
constexpr FLONG GCAPS_ARBRUSHTEXT = 0x10000000;
constexpr FLONG GCAPS_SCREENPRECISION = 0x20000000;
constexpr FLONG GCAPS_FONT_RASTERIZER = 0x40000000;
constexpr FLONG GCAPS_NUP = 0x80000000;

// DEVINFO.flGraphicsCaps2.
constexpr FLONG GCAPS2_JPEGSRC = 0x00000001;
constexpr FLONG GCAPS2_xxxx = 0x00000002;
constexpr FLONG GCAPS2_PNGSRC = 0x00000008;
constexpr FLONG GCAPS2_CHANGEGAMMARAMP = 0x00000010;
constexpr FLONG GCAPS2_ALPHACURSOR = 0x00000020;
constexpr FLONG GCAPS2_SYNCFLUSH = 0x00000040;
constexpr FLONG GCAPS2_SYNCTIMER = 0x00000080;
constexpr FLONG GCAPS2_ICD_MULTIMON = 0x00000100;
constexpr FLONG GCAPS2_MOUSETRAILS = 0x00000200;
constexpr FLONG GCAPS2_RESERVED1 = 0x00000400;

// ---------------------------------------------------------------------------
// Geometry in 28.4 fixed point.

typedef struct _POINTFIX {
    FIX x;
    FIX y;
} POINTFIX, *PPOINTFIX;

typedef struct _RECTFX {
    FIX xLeft;
    FIX yTop;
    FIX xRight;
    FIX yBottom;
} RECTFX, *PRECTFX;

// ---------------------------------------------------------------------------
// Surfaces.

typedef struct _SURFOBJ {
    DHSURF dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev;
    HDEV hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;
    PVOID pvBits;
    PVOID pvScan0;
    LONG lDelta;
    ULONG iUniq;
    ULONG iBitmapFormat;
    USHORT iType;
    USHORT fjBitmap;
} SURFOBJ;

// SURFOBJ.iBitmapFormat. For BMF_JPEG and BMF_PNG the bits are the file's bytes.
constexpr ULONG BMF_1BPP = 1;
constexpr ULONG BMF_4BPP = 2;
constexpr ULONG BMF_8BPP = 3;
constexpr ULONG BMF_16BPP = 4;
constexpr ULONG BMF_24BPP = 5;
constexpr ULONG BMF_32BPP = 6;
constexpr ULONG BMF_4RLE = 7;
constexpr ULONG BMF_8RLE = 8;
constexpr ULONG BMF_JPEG = 9;
constexpr ULONG BMF_PNG = 10;

// SURFOBJ.fjBitmap and the flags of EngCreateBitmap.
constexpr USHORT BMF_TOPDOWN = 0x0001;
constexpr USHORT BMF_NOZEROINIT = 0x0002;
constexpr USHORT BMF_DONTCACHE = 0x0004;
constexpr USHORT BMF_USERMEM = 0x0008;
constexpr USHORT BMF_KMSECTION = 0x0010;
constexpr USHORT BMF_NOTSYSMEM = 0x0020;
constexpr USHORT BMF_WINDOW_BLT = 0x0040;
constexpr USHORT BMF_UMPDMEM = 0x0080;
constexpr USHORT BMF_RESERVED = 0xFF00;

// SURFOBJ.iType.
constexpr USHORT STYPE_BITMAP = 0;
constexpr USHORT STYPE_DEVICE = 1;
constexpr USHORT STYPE_DEVBITMAP = 3;

// Hook flags of EngAssociateSurface: the drawing calls the device handles itself.
constexpr FLONG HOOK_BITBLT = 0x00000001;
constexpr FLONG HOOK_STRETCHBLT = 0x00000002;
constexpr FLONG HOOK_PLGBLT = 0x00000004;
constexpr FLONG HOOK_TEXTOUT = 0x00000008;
constexpr FLONG HOOK_PAINT = 0x00000010;
constexpr FLONG HOOK_STROKEPATH = 0x00000020;
constexpr FLONG HOOK_FILLPATH = 0x00000040;
constexpr FLONG HOOK_STROKEANDFILLPATH = 0x00000080;
constexpr FLONG HOOK_LINETO = 0x00000100;
constexpr FLONG HOOK_COPYBITS = 0x00000400;
constexpr FLONG HOOK_MOVEPANNING = 0x00000800;
constexpr FLONG HOOK_SYNCHRONIZE = 0x00001000;
constexpr FLONG HOOK_STRETCHBLTROP = 0x00002000;
constexpr FLONG HOOK_SYNCHRONIZEACCESS = 0x00004000;
constexpr FLONG HOOK_TRANSPARENTBLT = 0x00008000;
constexpr FLONG HOOK_ALPHABLEND = 0x00010000;
constexpr FLONG HOOK_GRADIENTFILL = 0x00020000;
constexpr FLONG HOOK_FLAGS = 0x0003B5FF;

// ---------------------------------------------------------------------------
// Clip objects.

typedef struct _CLIPOBJ {
    ULONG iUniq;
    RECTL rclBounds;
    BYTE iDComplexity;
    BYTE iFComplexity;
    BYTE iMode;
    BYTE fjOptions;
} CLIPOBJ;

// CLIPOBJ.iDComplexity: the clip seen against the destination.
constexpr BYTE DC_TRIVIAL = 0;
constexpr BYTE DC_RECT = 1;
constexpr BYTE DC_COMPLEX = 3;
// CLIPOBJ.iFComplexity: the whole region.
constexpr BYTE FC_RECT = 1;
constexpr BYTE FC_RECT4 = 2;
constexpr BYTE FC_COMPLEX = 3;
// CLIPOBJ.iMode.
constexpr BYTE TC_RECTANGLES = 0;
constexpr BYTE TC_PATHOBJ = 2;
// CLIPOBJ.fjOptions.
constexpr BYTE OC_BANK_CLIP = 1;

// CLIPOBJ_cEnumStart.
constexpr ULONG CT_RECTANGLES = 0;
constexpr ULONG CD_RIGHTDOWN = 0;
constexpr ULONG CD_LEFTDOWN = 1;
constexpr ULONG CD_RIGHTUP = 2;
constexpr ULONG CD_LEFTUP = 3;
constexpr ULONG CD_ANY = 4;
constexpr ULONG CD_LEFTWARDS = 1;
constexpr ULONG CD_UPWARDS = 2;

typedef struct _ENUMRECTS {
    ULONG c;
    RECTL arcl[1];
} ENUMRECTS;

// ---------------------------------------------------------------------------
// Path objects.

typedef struct _PATHOBJ {
    FLONG fl;
    ULONG cCurves;
} PATHOBJ;

// PATHOBJ.fl.
constexpr FLONG PO_BEZIERS = 0x00000001;
constexpr FLONG PO_ELLIPSE = 0x00000002;
constexpr FLONG PO_ALL_INTEGERS = 0x00000004;
constexpr FLONG PO_ENUM_AS_INTEGERS = 0x00000008;

typedef struct _PATHDATA {
    FLONG flags;
    ULONG count;
    POINTFIX* pptfx;
} PATHDATA, *PPATHDATA;

// PATHDATA.flags.
constexpr FLONG PD_BEGINSUBPATH = 0x00000001;
constexpr FLONG PD_ENDSUBPATH = 0x00000002;
constexpr FLONG PD_RESETSTYLE = 0x00000004;
constexpr FLONG PD_CLOSEFIGURE = 0x00000008;
constexpr FLONG PD_BEZIERS = 0x00000010;
constexpr FLONG PD_ALL = 0x0000001F;

// Fill modes of DrvFillPath.
constexpr FLONG FP_ALTERNATEMODE = 1;
constexpr FLONG FP_WINDINGMODE = 2;

// ---------------------------------------------------------------------------
// Brushes and colour translation.

typedef struct _BRUSHOBJ {
    ULONG iSolidColor;  // 0xFFFFFFFF for a pattern brush
    PVOID pvRbrush;
    FLONG flColorType;
} BRUSHOBJ;

// BRUSHOBJ.flColorType.
constexpr FLONG BR_DEVICE_ICM = 0x01;
constexpr FLONG BR_HOST_ICM = 0x02;
constexpr FLONG BR_CMYKCOLOR = 0x04;
constexpr FLONG BR_ORIGCOLOR = 0x08;

typedef struct _XLATEOBJ {
    ULONG iUniq;
    FLONG flXlate;
    USHORT iSrcType;
    USHORT iDstType;
    ULONG cEntries;
    ULONG* pulXlate;
} XLATEOBJ;

// XLATEOBJ.flXlate.
constexpr FLONG XO_TRIVIAL = 0x00000001;
constexpr FLONG XO_TABLE = 0x00000002;
constexpr FLONG XO_TO_MONO = 0x00000004;
constexpr FLONG XO_FROM_CMYK = 0x00000008;
constexpr FLONG XO_DEVICE_ICM = 0x00000010;
constexpr FLONG XO_HOST_ICM = 0x00000020;

// XLATEOBJ_cGetPalette.
constexpr ULONG XO_SRCPALETTE = 1;
constexpr ULONG XO_DESTPALETTE = 2;
constexpr ULONG XO_DESTDCPALETTE = 3;
constexpr ULONG XO_SRCBITFIELDS = 4;
constexpr ULONG XO_DESTBITFIELDS = 5;

// Palette kinds (XLATEOBJ.iSrcType and iDstType).
constexpr USHORT PAL_INDEXED = 0x00000001;
constexpr USHORT PAL_BITFIELDS = 0x00000002;
constexpr USHORT PAL_RGB = 0x00000004;
constexpr USHORT PAL_BGR = 0x00000008;
constexpr USHORT PAL_CMYK = 0x00000010;

// ---------------------------------------------------------------------------
// Stretching, device-support questions, documents.

// Stretch modes of DrvStretchBlt and EngStretchBlt.
constexpr ULONG BLACKONWHITE = 1;
constexpr ULONG WHITEONBLACK = 2;
constexpr ULONG COLORONCOLOR = 3;
constexpr ULONG HALFTONE = 4;
constexpr ULONG MAXSTRETCHBLTMODE = 4;

// DrvQueryDeviceSupport.iType.
constexpr ULONG QDS_CHECKJPEGFORMAT = 0;
constexpr ULONG QDS_CHECKPNGFORMAT = 1;

// DrvEndDoc flags.
constexpr FLONG ED_ABORTDOC = 1;

// EngAllocMem flags.
constexpr ULONG FL_ZERO_MEMORY = 0x00000001;
constexpr ULONG FL_NONPAGED_MEMORY = 0x00000002;

// ---------------------------------------------------------------------------
// Line attributes, fonts and strings, transforms.

typedef union _FLOAT_LONG {
    FLOATL e;
    LONG l;
} FLOAT_LONG, *PFLOAT_LONG;

typedef struct _LINEATTRS {
    FLONG fl;
    ULONG iJoin;
    ULONG iEndCap;
    FLOAT_LONG elWidth;
    FLOATL eMiterLimit;
    ULONG cstyle;
    PFLOAT_LONG pstyle;
    FLOAT_LONG elStyleState;
} LINEATTRS, *PLINEATTRS;

constexpr FLONG LA_GEOMETRIC = 0x00000001;
constexpr FLONG LA_ALTERNATE = 0x00000002;
constexpr FLONG LA_STARTGAP = 0x00000004;
constexpr FLONG LA_STYLED = 0x00000008;
constexpr ULONG JOIN_ROUND = 0;
constexpr ULONG JOIN_BEVEL = 1;
constexpr ULONG JOIN_MITER = 2;
constexpr ULONG ENDCAP_ROUND = 0;
constexpr ULONG ENDCAP_SQUARE = 1;
constexpr ULONG ENDCAP_BUTT = 2;

typedef struct _FONTOBJ {
    ULONG iUniq;
    ULONG iFace;
    ULONG cxMax;
    FLONG flFontType;
    ULONG_PTR iTTUniq;
    ULONG_PTR iFile;
    SIZEL sizLogResPpi;
    ULONG ulStyleSize;
    PVOID pvConsumer;
    PVOID pvProducer;
} FONTOBJ;

// FONTOBJ.flFontType.
constexpr FLONG FO_TYPE_RASTER = 0x00000001;
constexpr FLONG FO_TYPE_DEVICE = 0x00000002;
constexpr FLONG FO_TYPE_TRUETYPE = 0x00000004;
constexpr FLONG FO_TYPE_OPENTYPE = 0x00000008;
constexpr FLONG FO_SIM_BOLD = 0x00002000;
constexpr FLONG FO_SIM_ITALIC = 0x00004000;
constexpr FLONG FO_EM_HEIGHT = 0x00008000;
constexpr FLONG FO_GRAY16 = 0x00010000;
constexpr FLONG FO_NOGRAY16 = 0x00020000;
constexpr FLONG FO_NOHINTS = 0x00040000;
constexpr FLONG FO_NO_CHOICE = 0x00080000;

typedef struct _GLYPHBITS {
    POINTL ptlOrigin;
    SIZEL sizlBitmap;
    BYTE aj[1];
} GLYPHBITS;

typedef union _GLYPHDEF {
    GLYPHBITS* pgb;
    PATHOBJ* ppo;
} GLYPHDEF;

typedef struct _GLYPHPOS {
    HGLYPH hg;
    GLYPHDEF* pgdf;
    POINTL ptl;
} GLYPHPOS, *PGLYPHPOS;

typedef struct _STROBJ {
    ULONG cGlyphs;
    FLONG flAccel;
    ULONG ulCharInc;
    RECTL rclBkGround;
    GLYPHPOS* pgp;
    LPWSTR pwszOrg;
} STROBJ;

// STROBJ.flAccel.
constexpr FLONG SO_FLAG_DEFAULT_PLACEMENT = 0x00000001;
constexpr FLONG SO_HORIZONTAL = 0x00000002;
constexpr FLONG SO_VERTICAL = 0x00000004;
constexpr FLONG SO_REVERSED = 0x00000008;
constexpr FLONG SO_ZERO_BEARINGS = 0x00000010;
constexpr FLONG SO_CHAR_INC_EQUAL_BM_BASE = 0x00000020;
constexpr FLONG SO_MAXEXT_EQUAL_BM_SIDE = 0x00000040;
constexpr FLONG SO_DO_NOT_SUBSTITUTE_DEVICE_FONT = 0x00000080;
constexpr FLONG SO_GLYPHINDEX_TEXTOUT = 0x00000100;
constexpr FLONG SO_ESC_NOT_ORIENT = 0x00000200;
constexpr FLONG SO_DXDY = 0x00000400;
constexpr FLONG SO_CHARACTER_EXTRA = 0x00000800;
constexpr FLONG SO_BREAK_EXTRA = 0x00001000;

typedef struct _XFORMOBJ {
    ULONG ulReserved;
} XFORMOBJ;

typedef struct _XFORML {
    FLOATL eM11;
    FLOATL eM12;
    FLOATL eM21;
    FLOATL eM22;
    FLOATL eDx;
    FLOATL eDy;
} XFORML, *PXFORML;

// ---------------------------------------------------------------------------
// GDI records that the driver interface passes through.

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;
static_assert(sizeof(BITMAPINFOHEADER) == 40);

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr DWORD BI_JPEG = 4;
constexpr DWORD BI_PNG = 5;

typedef struct tagCOLORADJUSTMENT {
    WORD caSize;
    WORD caFlags;
    WORD caIlluminantIndex;
    WORD caRedGamma;
    WORD caGreenGamma;
    WORD caBlueGamma;
    WORD caReferenceBlack;
    WORD caReferenceWhite;
    SHORT caContrast;
    SHORT caBrightness;
    SHORT caColorfulness;
    SHORT caRedGreenTint;
} COLORADJUSTMENT, *PCOLORADJUSTMENT;
static_assert(sizeof(COLORADJUSTMENT) == 24);

typedef struct _BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
} BLENDFUNCTION, *PBLENDFUNCTION;

typedef struct _BLENDOBJ {
    BLENDFUNCTION BlendFunction;
} BLENDOBJ, *PBLENDOBJ;

typedef struct _TRIVERTEX {
    LONG x;
    LONG y;
    COLOR16 Red;
    COLOR16 Green;
    COLOR16 Blue;
    COLOR16 Alpha;
} TRIVERTEX, *PTRIVERTEX;

typedef struct _GRADIENT_TRIANGLE {
    ULONG Vertex1;
    ULONG Vertex2;
    ULONG Vertex3;
} GRADIENT_TRIANGLE;

typedef struct _GRADIENT_RECT {
    ULONG UpperLeft;
    ULONG LowerRight;
} GRADIENT_RECT;

constexpr ULONG GRADIENT_FILL_RECT_H = 0;
constexpr ULONG GRADIENT_FILL_RECT_V = 1;
constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;

// ---------------------------------------------------------------------------
// Driver entry points, as the engine calls them.

typedef BOOL (*PFN_DrvEnableDriver)(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded);
typedef DHPDEV (*PFN_DrvEnablePDEV)(DEVMODEW* pdm, LPWSTR pwszLogAddress, ULONG cPat,
                                    HSURF* phsurfPatterns, ULONG cjCaps, ULONG* pdevcaps,
                                    ULONG cjDevInfo, DEVINFO* pdi, HDEV hdev, LPWSTR pwszDeviceName,
                                    HANDLE hDriver);
typedef void (*PFN_DrvCompletePDEV)(DHPDEV dhpdev, HDEV hdev);
typedef void (*PFN_DrvDisablePDEV)(DHPDEV dhpdev);
typedef HSURF (*PFN_DrvEnableSurface)(DHPDEV dhpdev);
typedef void (*PFN_DrvDisableSurface)(DHPDEV dhpdev);
typedef BOOL (*PFN_DrvResetPDEV)(DHPDEV dhpdevOld, DHPDEV dhpdevNew);
typedef void (*PFN_DrvDisableDriver)();
typedef BOOL (*PFN_DrvRealizeBrush)(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                                    SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch);
typedef BOOL (*PFN_DrvStrokePath)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                  BRUSHOBJ* pbo, POINTL* pptlBrushOrg, LINEATTRS* plineattrs,
                                  MIX mix);
typedef BOOL (*PFN_DrvFillPath)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                                POINTL* pptlBrushOrg, MIX mix, FLONG flOptions);
typedef BOOL (*PFN_DrvStrokeAndFillPath)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                         BRUSHOBJ* pboStroke, LINEATTRS* plineattrs,
                                         BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                         FLONG flOptions);
typedef BOOL (*PFN_DrvPaint)(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                             MIX mix);
typedef BOOL (*PFN_DrvBitBlt)(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                              XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                              BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4);
typedef BOOL (*PFN_DrvCopyBits)(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                RECTL* prclDest, POINTL* pptlSrc);
typedef BOOL (*PFN_DrvStretchBlt)(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                  XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                                  RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode);
typedef BOOL (*PFN_DrvStretchBltROP)(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                     CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT* pca,
                                     POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                                     POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4);
typedef BOOL (*PFN_DrvPlgBlt)(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                              XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg,
                              POINTFIX* pptfx, RECTL* prcl, POINTL* pptl, ULONG iMode);
typedef BOOL (*PFN_DrvTransparentBlt)(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                      XLATEOBJ* pxlo, RECTL* prclDst, RECTL* prclSrc,
                                      ULONG iTransColor, ULONG ulReserved);
typedef BOOL (*PFN_DrvAlphaBlend)(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                  RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj);
typedef BOOL (*PFN_DrvGradientFill)(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                    TRIVERTEX* pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh,
                                    RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode);
typedef BOOL (*PFN_DrvTextOut)(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                               RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                               BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);
typedef BOOL (*PFN_DrvLineTo)(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2,
                              LONG y2, RECTL* prclBounds, MIX mix);
typedef ULONG (*PFN_DrvEscape)(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                               PVOID pvOut);
typedef ULONG (*PFN_DrvDrawEscape)(SURFOBJ* pso, ULONG iEsc, CLIPOBJ* pco, RECTL* prcl, ULONG cjIn,
                                   PVOID pvIn);
typedef BOOL (*PFN_DrvStartDoc)(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
typedef BOOL (*PFN_DrvEndDoc)(SURFOBJ* pso, FLONG fl);
typedef BOOL (*PFN_DrvStartPage)(SURFOBJ* pso);
typedef BOOL (*PFN_DrvSendPage)(SURFOBJ* pso);
typedef BOOL (*PFN_DrvStartBanding)(SURFOBJ* pso, POINTL* pptl);
typedef BOOL (*PFN_DrvNextBand)(SURFOBJ* pso, POINTL* pptl);
typedef BOOL (*PFN_DrvQueryPerBandInfo)(SURFOBJ* pso, PVOID pbi);
typedef BOOL (*PFN_DrvQueryDeviceSupport)(SURFOBJ* pso, XLATEOBJ* pxlo, XFORMOBJ* pxo, ULONG iType,
                                          ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);
typedef ULONG (*PFN_DrvDitherColor)(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul);

// ---------------------------------------------------------------------------
// Engine services.

extern "C" {

// Surfaces. EngCreateBitmap: lWidth is the row stride in bytes (0: the engine
// computes a DWORD-aligned one); BMF_TOPDOWN in fl makes the first row the top row,
// otherwise pvScan0 points at the last row of the buffer and lDelta is negative;
// pvBits null lets the engine allocate (zeroed unless BMF_NOZEROINIT).
HBITMAP APIENTRY EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits);
HSURF APIENTRY EngCreateDeviceSurface(DHSURF dhsurf, SIZEL sizl, ULONG iFormatCompat);
BOOL APIENTRY EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks);
SURFOBJ* APIENTRY EngLockSurface(HSURF hsurf);
void APIENTRY EngUnlockSurface(SURFOBJ* pso);
BOOL APIENTRY EngDeleteSurface(HSURF hsurf);
BOOL APIENTRY EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor);

// Blits. Each draws into a bitmap directly; a device-managed target (or a bitmap
// whose device hooks DrvCopyBits) gets the result through the device's DrvCopyBits.
BOOL APIENTRY EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                          RECTL* prclDest, POINTL* pptlSrc);
BOOL APIENTRY EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                        BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4);
BOOL APIENTRY EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                            XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                            RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode);
BOOL APIENTRY EngStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                               RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                               BRUSHOBJ* pbo, DWORD rop4);
BOOL APIENTRY EngPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx,
                        RECTL* prcl, POINTL* pptl, ULONG iMode);

// Clip objects. EngCreateClip gives an empty trivial clip whose public fields the
// caller may set to DC_RECT with rclBounds.
CLIPOBJ* APIENTRY EngCreateClip();
void APIENTRY EngDeleteClip(CLIPOBJ* pco);
ULONG APIENTRY CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection,
                                  ULONG cLimit);
BOOL APIENTRY CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pul);
PATHOBJ* APIENTRY CLIPOBJ_ppoGetPath(CLIPOBJ* pco);

// Path objects.
PATHOBJ* APIENTRY EngCreatePath();
void APIENTRY EngDeletePath(PATHOBJ* ppo);
void APIENTRY PATHOBJ_vEnumStart(PATHOBJ* ppo);
BOOL APIENTRY PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd);
void APIENTRY PATHOBJ_vGetBounds(PATHOBJ* ppo, PRECTFX prectfx);
BOOL APIENTRY PATHOBJ_bMoveTo(PATHOBJ* ppo, POINTFIX ptfx);
BOOL APIENTRY PATHOBJ_bPolyLineTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx);
BOOL APIENTRY PATHOBJ_bPolyBezierTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx);
BOOL APIENTRY PATHOBJ_bCloseFigure(PATHOBJ* ppo);

// Brushes and colour translation.
ULONG APIENTRY BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo);
PVOID APIENTRY BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo);
ULONG APIENTRY XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor);
ULONG* APIENTRY XLATEOBJ_piVector(XLATEOBJ* pxlo);
ULONG APIENTRY XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal);

// Memory and errors.
PVOID APIENTRY EngAllocMem(ULONG fl, ULONG cj, ULONG tag);
void APIENTRY EngFreeMem(PVOID pv);
void APIENTRY EngSetLastError(ULONG iError);
ULONG APIENTRY EngGetLastError();

}  // extern "C"
