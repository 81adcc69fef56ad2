// The graphics engine's side of one document, as the document player sees it:
// a page surface, the driver functions that drawing calls reach (the plug-in's
// hooks where it hooks, Unidrv's own functions elsewhere), escapes, and the
// document and page steps.
#pragma once

#include <functional>
#include <span>
#include <string_view>

#include <winddi.h>

namespace xlhost {

// The functions a drawing call reaches, as the graphics engine calls them.
struct DrvFunctions {
    PFN_DrvCopyBits copyBits = nullptr;
    PFN_DrvBitBlt bitBlt = nullptr;
    PFN_DrvStretchBlt stretchBlt = nullptr;
    PFN_DrvStretchBltROP stretchBltROP = nullptr;
    PFN_DrvTransparentBlt transparentBlt = nullptr;
    PFN_DrvAlphaBlend alphaBlend = nullptr;
    PFN_DrvGradientFill gradientFill = nullptr;
    PFN_DrvPlgBlt plgBlt = nullptr;
    PFN_DrvTextOut textOut = nullptr;
    PFN_DrvLineTo lineTo = nullptr;
    PFN_DrvStrokePath strokePath = nullptr;
    PFN_DrvFillPath fillPath = nullptr;
    PFN_DrvStrokeAndFillPath strokeAndFillPath = nullptr;
    PFN_DrvQueryDeviceSupport queryDeviceSupport = nullptr;
};

// Draws one page (or one band of it): called with the page surface and the
// band's rectangle in device pixels (the whole page when the page is not
// banded). The drawing must clip itself to the band. Returns false to stop.
using PageDrawing = std::function<bool(SURFOBJ* surface, const RECTL& band)>;

class DocumentSink {
  public:
    virtual ~DocumentSink() = default;

    // The page surface: device pixels, its device handle is the printer's device.
    virtual SURFOBJ* Surface() = 0;
    // The graphics engine's device (for EngCreateBitmap/EngAssociateSurface).
    virtual HDEV EngineDevice() = 0;
    // The printable area of the page in device pixels, and the resolution.
    virtual RECTL PrintableArea() const = 0;
    virtual LONG Resolution() const = 0;
    // The device's capabilities after enable (GCAPS2_PNGSRC and so on).
    virtual const DEVINFO& DevInfo() const = 0;
    virtual const DrvFunctions& Functions() const = 0;

    // An escape as an application sends it (ExtEscape): to the driver's DrvEscape.
    virtual ULONG Escape(ULONG code, std::span<const BYTE> in, std::span<BYTE> out) = 0;

    // How many times the whole document is played between StartDoc and EndDoc:
    // the print processor of an EMF-spooled job makes collated copies that way
    // when the driver does not, each copy printing once.
    virtual int DocumentPlays() const { return 1; }

    virtual bool StartDoc(std::u16string_view documentName) = 0;
    // StartPage, the drawing (once, or once per band), SendPage. A page that the
    // driver wants to see twice (an analysis pass before the output pass) is
    // played twice.
    virtual bool PlayPage(const PageDrawing& draw) = 0;
    virtual bool EndDoc() = 0;
};

}  // namespace xlhost
