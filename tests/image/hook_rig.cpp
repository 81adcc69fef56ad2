#include "image/hook_rig.h"

#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "frame/device_enable.h"
#include "frame/hooks.h"
#include "support/test_images.h"

namespace imagetest {
namespace {

UnidrvLog g_log;

void Note(SURFOBJ* source, const RECTL* destination) {
    g_log.lastSourceFormat = source != nullptr ? source->iBitmapFormat : 0;
    g_log.lastSourceSize = source != nullptr ? source->sizlBitmap : SIZEL{};
    g_log.lastDestination = destination != nullptr ? *destination : RECTL{};
    g_log.lastSourcePixels.clear();
    if (source != nullptr && source->iBitmapFormat == BMF_24BPP && source->pvScan0 != nullptr)
        for (LONG y = 0; y < source->sizlBitmap.cy; ++y)
            for (LONG x = 0; x < source->sizlBitmap.cx; ++x)
                g_log.lastSourcePixels.push_back(xltest::PixelAt(source, x, y));
}

BOOL BitBlt(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL* dst, POINTL*, POINTL*,
            BRUSHOBJ*, POINTL*, ROP4) {
    ++g_log.bitBlt;
    Note(src, dst);
    return TRUE;
}
BOOL StretchBlt(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*,
                RECTL* dst, RECTL*, POINTL*, ULONG) {
    ++g_log.stretchBlt;
    Note(src, dst);
    return TRUE;
}
BOOL StretchBltROP(SURFOBJ*, SURFOBJ* src, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*,
                   RECTL* dst, RECTL*, POINTL*, ULONG, BRUSHOBJ*, DWORD) {
    ++g_log.stretchBltROP;
    Note(src, dst);
    return TRUE;
}
BOOL CopyBits(SURFOBJ*, SURFOBJ* src, CLIPOBJ*, XLATEOBJ*, RECTL* dst, POINTL*) {
    ++g_log.copyBits;
    Note(src, dst);
    return TRUE;
}
BOOL TransparentBlt(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, ULONG, ULONG) {
    return ++g_log.transparentBlt, TRUE;
}
BOOL AlphaBlend(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, BLENDOBJ*) {
    return ++g_log.alphaBlend, TRUE;
}
BOOL GradientFill(SURFOBJ*, CLIPOBJ*, XLATEOBJ*, TRIVERTEX*, ULONG, PVOID, ULONG, RECTL*, POINTL*,
                  ULONG) {
    return ++g_log.gradientFill, TRUE;
}

}  // namespace

UnidrvLog& Unidrv() {
    return g_log;
}

HookRig::HookRig(const RigOptions& options) {
    g_log = {};
    xlplatform::Printer printer;
    printer.name = u"Photo Printer";
    printer.portName = options.port;
    xlplatform::AddPrinter(printer);
    std::u16string name = printer.name;
    OpenPrinterW(name.data(), &printer_, nullptr);
    device_.devobj.hPrinter = printer_;
    if (!options.jpegEnable.empty()) device_.helper.features["JPEGEnable"] = options.jpegEnable;
    if (options.noImageSender != 0) {
        xlr::SettingsRecord settings = device_.Settings();
        settings.noImageSender = options.noImageSender;
        device_.SetSettings(settings);
    }

    unidrvFunctions_ = {{INDEX_DrvBitBlt, FunctionCast<PFN>(&BitBlt)},
                        {INDEX_DrvStretchBlt, FunctionCast<PFN>(&StretchBlt)},
                        {INDEX_DrvStretchBltROP, FunctionCast<PFN>(&StretchBltROP)},
                        {INDEX_DrvCopyBits, FunctionCast<PFN>(&CopyBits)},
                        {INDEX_DrvTransparentBlt, FunctionCast<PFN>(&TransparentBlt)},
                        {INDEX_DrvAlphaBlend, FunctionCast<PFN>(&AlphaBlend)},
                        {INDEX_DrvGradientFill, FunctionCast<PFN>(&GradientFill)}};
    unidrv_ = {0x00010000, static_cast<ULONG>(unidrvFunctions_.size()), unidrvFunctions_.data()};
    GDIINFO gdi{};
    gdi.ulLogPixelsX = gdi.ulLogPixelsY = 600;
    DEVINFO devInfo{};
    state_ = xlr::EnableDeviceState(&device_.devobj, &device_.helper, &gdi, &devInfo, &unidrv_);

    // The engine calls the plug-in's hooks for this device, as it would once
    // Unidrv has handed it the hook table.
    engineDevice_ = xlplatform::CreateEngineDevice();
    device_.devobj.hEngine = engineDevice_;
    xlplatform::SetEngineDevicePdev(engineDevice_, reinterpret_cast<DHPDEV>(&device_.devobj));
    DRVENABLEDATA hooks{};
    xlr::EnableHookTable(0x00010000, sizeof hooks, &hooks);
    xlplatform::SetEngineDeviceFunctions(engineDevice_, &hooks);
    pageHandle_ = EngCreateDeviceSurface(nullptr, SIZEL{5100, 6600}, BMF_24BPP);
    EngAssociateSurface(pageHandle_, engineDevice_,
                        HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_COPYBITS | HOOK_STRETCHBLTROP);
    page_ = EngLockSurface(pageHandle_);
}

HookRig::~HookRig() {
    xlr::DisableDeviceState(&device_.devobj);
    if (page_ != nullptr) EngUnlockSurface(page_);
    if (pageHandle_ != nullptr) EngDeleteSurface(pageHandle_);
    if (engineDevice_ != nullptr) xlplatform::DeleteEngineDevice(engineDevice_);
    if (printer_ != nullptr) ClosePrinter(printer_);
}

}  // namespace imagetest
