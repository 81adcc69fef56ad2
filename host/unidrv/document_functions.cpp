// Unidrv's own document, page, band and escape functions: they send the
// commands of the printer description at the moments the description names
// (job and document setup at the start of the document, page setup at the start
// of each page, and so on). Drawing has already been written when a page ends.
#include <cstring>

#include "host/drawing/functions.h"
#include "host/unidrv/device.h"
#include "host/unidrv/functions.h"

namespace xlhost {
namespace {

UnidrvDevice* DeviceOfSurface(SURFOBJ* surface) {
    if (surface == nullptr || surface->dhpdev == nullptr) return nullptr;
    return reinterpret_cast<UnidrvPdev*>(surface->dhpdev)->device;
}

BOOL UnidrvStartDoc(SURFOBJ* pso, LPWSTR, DWORD) {
    UnidrvDevice* device = DeviceOfSurface(pso);
    if (device == nullptr) return FALSE;
    const bool ok = device->SendCommands(OrderSection::kJobSetup) &&
                    device->SendCommands(OrderSection::kDocSetup);
    return ok ? TRUE : FALSE;
}

BOOL UnidrvStartPage(SURFOBJ* pso) {
    UnidrvDevice* device = DeviceOfSurface(pso);
    if (device == nullptr) return FALSE;
    device->nextBandTop = 0;
    device->pageStarted = true;
    return device->SendCommands(OrderSection::kPageSetup) ? TRUE : FALSE;
}

// The page's closing commands, once for a page Unidrv started.
BOOL EndPage(UnidrvDevice& device) {
    if (!device.pageStarted) return TRUE;
    device.pageStarted = false;
    return device.SendCommands(OrderSection::kPageFinish) ? TRUE : FALSE;
}

BOOL UnidrvSendPage(SURFOBJ* pso) {
    UnidrvDevice* device = DeviceOfSurface(pso);
    if (device == nullptr) return FALSE;
    return EndPage(*device);
}

BOOL UnidrvEndDoc(SURFOBJ* pso, FLONG) {
    UnidrvDevice* device = DeviceOfSurface(pso);
    if (device == nullptr) return FALSE;
    const bool ok = device->SendCommands(OrderSection::kDocFinish) &&
                    device->SendCommands(OrderSection::kJobFinish);
    return ok ? TRUE : FALSE;
}

BOOL UnidrvStartBanding(SURFOBJ* pso, POINTL* pptl) {
    UnidrvDevice* device = DeviceOfSurface(pso);
    if (device == nullptr || pptl == nullptr) return FALSE;
    device->nextBandTop = device->BandHeight() > 0 ? device->BandHeight() : pso->sizlBitmap.cy;
    *pptl = {0, 0};
    return TRUE;
}

// The next band's origin, or (-1, -1) once the page is done: then the page's
// closing commands go out, as at DrvSendPage.
BOOL UnidrvNextBand(SURFOBJ* pso, POINTL* pptl) {
    UnidrvDevice* device = DeviceOfSurface(pso);
    if (device == nullptr || pptl == nullptr) return FALSE;
    if (device->BandHeight() > 0 && device->nextBandTop < pso->sizlBitmap.cy) {
        *pptl = {0, device->nextBandTop};
        device->nextBandTop += device->BandHeight();
        return TRUE;
    }
    *pptl = {-1, -1};
    return EndPage(*device);
}

// Unidrv answers no escape beyond the question which it answers.
ULONG UnidrvEscape(SURFOBJ*, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG, PVOID) {
    if (iEsc == QUERYESCSUPPORT && pvIn != nullptr && cjIn >= sizeof(ULONG)) {
        ULONG asked = 0;
        std::memcpy(&asked, pvIn, sizeof asked);
        return asked == QUERYESCSUPPORT ? 1 : 0;
    }
    return 0;
}

const DRVFN kDocumentFunctions[] = {
    {INDEX_DrvStartDoc, FunctionCast<PFN>(&UnidrvStartDoc)},
    {INDEX_DrvStartPage, FunctionCast<PFN>(&UnidrvStartPage)},
    {INDEX_DrvSendPage, FunctionCast<PFN>(&UnidrvSendPage)},
    {INDEX_DrvEndDoc, FunctionCast<PFN>(&UnidrvEndDoc)},
    {INDEX_DrvStartBanding, FunctionCast<PFN>(&UnidrvStartBanding)},
    {INDEX_DrvNextBand, FunctionCast<PFN>(&UnidrvNextBand)},
    {INDEX_DrvEscape, FunctionCast<PFN>(&UnidrvEscape)},
};

}  // namespace

std::span<const DRVFN> UnidrvDocumentFunctions() {
    return kDocumentFunctions;
}

std::vector<DRVFN> UnidrvFunctions() {
    std::vector<DRVFN> functions(std::begin(kDocumentFunctions), std::end(kDocumentFunctions));
    for (const DRVFN& fn : UnidrvDrawingFunctions()) functions.push_back(fn);
    return functions;
}

}  // namespace xlhost
