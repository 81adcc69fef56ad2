#include "host/unidrv/device.h"

#include <cstring>

#include <winspool.h>
#include <xlplatform/engine.h>

#include "host/gpd/page_geometry.h"
#include "host/unidrv/functions.h"
#include "settings/packed_block.h"

namespace xlhost {
namespace {

constexpr DWORD kPluginInterfaceVersion = 0x00010000;

UnidrvDevice& DeviceOf(PDEVOBJ devobj) {
    return *reinterpret_cast<UnidrvPdev*>(devobj)->device;
}

// DRVPROCS of the device object, for plug-ins without the helper interface.
DWORD ProcWriteSpoolBuf(PDEVOBJ devobj, PVOID buffer, DWORD size) {
    return DeviceOf(devobj).Spool(buffer, size);
}

BOOL ProcGetStandardVariable(PDEVOBJ devobj, DWORD index, PVOID buffer, DWORD size, PDWORD needed) {
    if (needed != nullptr) *needed = sizeof(LONG);
    const auto value = DeviceOf(devobj).StandardVariable(index);
    if (!value || buffer == nullptr || size < sizeof(LONG)) return FALSE;
    std::memcpy(buffer, &*value, sizeof(LONG));
    return TRUE;
}

BOOL ProcGetDriverSetting(PVOID devobj, PCSTR feature, PVOID output, DWORD size, PDWORD needed,
                          PDWORD options) {
    const FeatureOption* option =
        feature != nullptr ? DeviceOf(static_cast<PDEVOBJ>(devobj)).Features().Current(feature)
                           : nullptr;
    if (options != nullptr) *options = option != nullptr ? 1 : 0;
    const std::string keyword = option != nullptr ? option->keyword : "";
    if (needed != nullptr) *needed = static_cast<DWORD>(keyword.size() + 1);
    if (output == nullptr || size <= keyword.size()) return FALSE;
    std::memcpy(output, keyword.c_str(), keyword.size() + 1);
    return option != nullptr;
}

// The hook flags of the calls a driver table draws itself.
FLONG HookFlags(const std::vector<DRVFN>& functions) {
    constexpr std::pair<ULONG, FLONG> kHooks[] = {
        {INDEX_DrvBitBlt, HOOK_BITBLT},
        {INDEX_DrvStretchBlt, HOOK_STRETCHBLT},
        {INDEX_DrvPlgBlt, HOOK_PLGBLT},
        {INDEX_DrvTextOut, HOOK_TEXTOUT},
        {INDEX_DrvStrokePath, HOOK_STROKEPATH},
        {INDEX_DrvFillPath, HOOK_FILLPATH},
        {INDEX_DrvStrokeAndFillPath, HOOK_STROKEANDFILLPATH},
        {INDEX_DrvLineTo, HOOK_LINETO},
        {INDEX_DrvCopyBits, HOOK_COPYBITS},
        {INDEX_DrvStretchBltROP, HOOK_STRETCHBLTROP},
        {INDEX_DrvTransparentBlt, HOOK_TRANSPARENTBLT},
        {INDEX_DrvAlphaBlend, HOOK_ALPHABLEND},
        {INDEX_DrvGradientFill, HOOK_GRADIENTFILL},
    };
    FLONG flags = 0;
    for (const DRVFN& fn : functions)
        for (const auto& [index, flag] : kHooks)
            if (fn.iFunc == index && fn.pfn != nullptr) flags |= flag;
    return flags;
}

}  // namespace

UnidrvDevice::UnidrvDevice(const DeviceSetup& setup)
    : setup_(setup), publicDevMode_(setup.publicDevMode) {
    pdev_.device = this;
    procs_.DrvWriteSpoolBuf = ProcWriteSpoolBuf;
    procs_.DrvGetDriverSetting = ProcGetDriverSetting;
    procs_.DrvGetStandardVariable = ProcGetStandardVariable;
    DEVOBJ& devobj = pdev_.devobj;
    devobj.dwSize = sizeof devobj;
    devobj.hPrinter = setup.printer;
    devobj.pPublicDM = &publicDevMode_;
    devobj.pDrvProcs = &procs_;
    helper_ = std::make_unique<CDriverHelper>(
        *setup.features,
        [this](PDEVOBJ, const void* data, DWORD size) { return Spool(data, size); },
        [this](PDEVOBJ, DWORD index) { return StandardVariable(index); });
}

std::unique_ptr<UnidrvDevice> UnidrvDevice::Enable(const DeviceSetup& setup, std::string& error) {
    if (setup.features == nullptr) {
        error = "no printer description";
        return nullptr;
    }
    std::unique_ptr<UnidrvDevice> device(new UnidrvDevice(setup));
    if (!device->MakeDeviceModes(error) || !device->EnableDriverAndDevice(error) ||
        !device->MakeSurface(error))
        return nullptr;
    return device;
}

// Unidrv asks the plug-in for its part of the device mode: its size, its
// defaults, and a merge with what the user-interface side chose.
bool UnidrvDevice::MakeDeviceModes(std::string& error) {
    if (setup_.module == nullptr || setup_.module->Plugin() == nullptr) return true;
    plugin_ = setup_.module->Plugin();
    pdev_.devobj.hOEM = setup_.module->Module();
    char writePrinter[] = "WritePrinter";
    pluginWritesPrinter_ = plugin_->GetImplementedMethod(writePrinter) == S_OK;
    if (FAILED(plugin_->PublishDriverInterface(helper_.get()))) {
        error = "the plug-in refused the driver helper interface";
        return false;
    }
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.hPrinter = setup_.printer;
    param.hModule = setup_.module->Module();
    if (FAILED(plugin_->DevMode(OEMDM_SIZE, &param)) || param.cbBufSize == 0) {
        error = "the plug-in did not report the size of its device mode";
        return false;
    }
    std::vector<BYTE> defaults(param.cbBufSize, 0);
    param.pPublicDMIn = &publicDevMode_;
    param.pOEMDMOut = defaults.data();
    if (FAILED(plugin_->DevMode(OEMDM_DEFAULT, &param))) {
        error = "the plug-in's DevMode failed to make its defaults";
        return false;
    }
    privateDevMode_ = defaults;
    if (!setup_.privateDevMode.empty()) {
        std::vector<BYTE> input = setup_.privateDevMode;
        input.resize(param.cbBufSize, 0);
        DEVMODEW publicOut = publicDevMode_;
        param.pPublicDMOut = &publicOut;
        param.pOEMDMIn = input.data();
        param.pOEMDMOut = privateDevMode_.data();
        if (FAILED(plugin_->DevMode(OEMDM_MERGE, &param))) {
            error = "the plug-in's DevMode could not merge the job's settings";
            return false;
        }
        publicDevMode_ = publicOut;
    }
    pdev_.devobj.pOEMDM = privateDevMode_.data();
    return true;
}

bool UnidrvDevice::EnableDriverAndDevice(std::string& error) {
    const auto geometry = CurrentGeometry(
        *setup_.features, publicDevMode_.dmOrientation == DMORIENT_LANDSCAPE, error);
    if (!geometry) return false;
    GDIINFO& gdi = gdiBefore_;
    gdi.ulVersion = 0x5000;
    gdi.ulTechnology = DT_RASPRINTER;
    ApplyGeometry(*geometry, gdi);
    gdi.cBitsPixel = 24;
    gdi.cPlanes = 1;
    gdi.ulNumColors = 0xFFFFFFFF;
    gdi.ulPrimaryOrder = 0;
    DEVINFO& devInfo = devInfoBefore_;
    devInfo.flGraphicsCaps = GCAPS_BEZIERS | GCAPS_GEOMETRICWIDE | GCAPS_ALTERNATEFILL |
                             GCAPS_WINDINGFILL | GCAPS_HALFTONE | GCAPS_OPAQUERECT;
    devInfo.iDitherFormat = BMF_24BPP;
    gdi_ = gdiBefore_;
    devInfo_ = devInfoBefore_;

    unidrvFunctions_ = UnidrvFunctions();
    merged_ = unidrvFunctions_;
    if (plugin_ != nullptr &&
        SUCCEEDED(
            plugin_->EnableDriver(kPluginInterfaceVersion, sizeof pluginHooks_, &pluginHooks_)) &&
        pluginHooks_.pdrvfn != nullptr) {
        for (ULONG i = 0; i < pluginHooks_.c; ++i) {
            const DRVFN& hook = pluginHooks_.pdrvfn[i];
            bool replaced = false;
            for (DRVFN& fn : merged_)
                if (fn.iFunc == hook.iFunc) fn.pfn = hook.pfn, replaced = true;
            if (!replaced) merged_.push_back(hook);
        }
    } else {
        pluginHooks_ = {};
    }

    if (plugin_ != nullptr) {
        DRVENABLEDATA unidrv{0x00010000, static_cast<ULONG>(unidrvFunctions_.size()),
                             unidrvFunctions_.data()};
        PDEVOEM state = nullptr;
        std::u16string name = setup_.printerName;
        if (FAILED(plugin_->EnablePDEV(&pdev_.devobj, name.data(), 0, nullptr, sizeof gdi_, &gdi_,
                                       sizeof devInfo_, &devInfo_, &unidrv, &state))) {
            error = "the plug-in's EnablePDEV failed (last error " +
                    std::to_string(GetLastError()) + ")";
            pdev_.devobj.pdevOEM = nullptr;
            return false;
        }
        pdevEnabled_ = true;
        // A printer that says it supports the hybrid path gets the plug-in's state
        // behind a record of Unidrv's.
        BYTE value[4];
        DWORD type = 0, needed = 0;
        WCHAR hybridName[] = WSTR("HybridPathSupported");
        if (setup_.printer != nullptr && GetPrinterDataW(setup_.printer, hybridName, &type, value,
                                                         sizeof value, &needed) == ERROR_SUCCESS) {
            hybrid_ = std::make_unique<HybridRecord>(HybridRecord{this, state});
            pdev_.devobj.pdevOEM = hybrid_.get();
        } else {
            pdev_.devobj.pdevOEM = state;
        }
    }

    functions_.copyBits = FunctionCast<PFN_DrvCopyBits>(Function(INDEX_DrvCopyBits));
    functions_.bitBlt = FunctionCast<PFN_DrvBitBlt>(Function(INDEX_DrvBitBlt));
    functions_.stretchBlt = FunctionCast<PFN_DrvStretchBlt>(Function(INDEX_DrvStretchBlt));
    functions_.stretchBltROP = FunctionCast<PFN_DrvStretchBltROP>(Function(INDEX_DrvStretchBltROP));
    functions_.transparentBlt =
        FunctionCast<PFN_DrvTransparentBlt>(Function(INDEX_DrvTransparentBlt));
    functions_.alphaBlend = FunctionCast<PFN_DrvAlphaBlend>(Function(INDEX_DrvAlphaBlend));
    functions_.gradientFill = FunctionCast<PFN_DrvGradientFill>(Function(INDEX_DrvGradientFill));
    functions_.plgBlt = FunctionCast<PFN_DrvPlgBlt>(Function(INDEX_DrvPlgBlt));
    functions_.textOut = FunctionCast<PFN_DrvTextOut>(Function(INDEX_DrvTextOut));
    functions_.lineTo = FunctionCast<PFN_DrvLineTo>(Function(INDEX_DrvLineTo));
    functions_.strokePath = FunctionCast<PFN_DrvStrokePath>(Function(INDEX_DrvStrokePath));
    functions_.fillPath = FunctionCast<PFN_DrvFillPath>(Function(INDEX_DrvFillPath));
    functions_.strokeAndFillPath =
        FunctionCast<PFN_DrvStrokeAndFillPath>(Function(INDEX_DrvStrokeAndFillPath));
    functions_.queryDeviceSupport =
        FunctionCast<PFN_DrvQueryDeviceSupport>(Function(INDEX_DrvQueryDeviceSupport));
    return true;
}

bool UnidrvDevice::MakeSurface(std::string& error) {
    hdev_ = xlplatform::CreateEngineDevice();
    if (hdev_ == nullptr) {
        error = "cannot make the engine device";
        return false;
    }
    DRVENABLEDATA table{0x00010000, static_cast<ULONG>(merged_.size()), merged_.data()};
    xlplatform::SetEngineDeviceFunctions(hdev_, &table);
    xlplatform::SetEngineDevicePdev(hdev_, reinterpret_cast<DHPDEV>(&pdev_.devobj));
    pdev_.devobj.hEngine = hdev_;
    hsurf_ = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(&pdev_), gdi_.szlPhysSize, BMF_24BPP);
    if (hsurf_ == nullptr || !EngAssociateSurface(hsurf_, hdev_, HookFlags(merged_)) ||
        (surface_ = EngLockSurface(hsurf_)) == nullptr) {
        error = "cannot make the page surface";
        return false;
    }
    return true;
}

UnidrvDevice::~UnidrvDevice() {
    if (surface_ != nullptr) EngUnlockSurface(surface_);
    if (hsurf_ != nullptr) EngDeleteSurface(hsurf_);
    if (hdev_ != nullptr) xlplatform::DeleteEngineDevice(hdev_);
    if (plugin_ != nullptr) {
        if (pdevEnabled_) plugin_->DisablePDEV(&pdev_.devobj);
        plugin_->DisableDriver();
    }
}

PFN UnidrvDevice::Function(ULONG index) const {
    for (const DRVFN& fn : merged_)
        if (fn.iFunc == index) return fn.pfn;
    return nullptr;
}

bool UnidrvDevice::PluginHooks(ULONG index) const {
    for (ULONG i = 0; pluginHooks_.pdrvfn != nullptr && i < pluginHooks_.c; ++i)
        if (pluginHooks_.pdrvfn[i].iFunc == index) return true;
    return false;
}

DWORD UnidrvDevice::Spool(const void* data, DWORD size) {
    if (size == 0) return 0;
    DWORD written = 0;
    bool ok = false;
    if (pluginWritesPrinter_) {
        ok = SUCCEEDED(
            plugin_->WritePrinter(&pdev_.devobj, const_cast<void*>(data), size, &written));
    } else {
        ok = WritePrinter(setup_.printer, const_cast<void*>(data), size, &written);
    }
    if ((!ok || written != size) && lastError.empty())
        lastError = "the spooler took " + std::to_string(written) + " of " + std::to_string(size) +
                    " bytes";
    return ok ? written : 0;
}

std::optional<LONG> UnidrvDevice::StandardVariable(DWORD index) const {
    const DEVMODEW& dm = publicDevMode_;
    // Physical paper sizes are in the description's master units.
    const LONG masterX = Features().Description().masterUnits
                             ? static_cast<LONG>(Features().Description().masterUnits->x)
                             : 1200;
    const LONG masterY = Features().Description().masterUnits
                             ? static_cast<LONG>(Features().Description().masterUnits->y)
                             : 1200;
    const LONG dpiX = static_cast<LONG>(gdi_.ulLogPixelsX),
               dpiY = static_cast<LONG>(gdi_.ulLogPixelsY);
    switch (index) {
        case SVI_COPIES:
            return dm.dmCopies > 0 ? dm.dmCopies : 1;
        case SVI_TEXTXRES:
            return dpiX;
        case SVI_TEXTYRES:
            return dpiY;
        case SVI_PHYSPAPERWIDTH:
            return dpiX > 0 ? gdiBefore_.szlPhysSize.cx * masterX / dpiX : std::optional<LONG>();
        case SVI_PHYSPAPERLENGTH:
            return dpiY > 0 ? gdiBefore_.szlPhysSize.cy * masterY / dpiY : std::optional<LONG>();
        default:
            return std::nullopt;
    }
}

bool UnidrvDevice::SendCommands(OrderSection section) {
    bool ok = true;
    for (const PrinterCommand* command : Features().CommandsIn(section)) {
        if (command->IsCallback()) {
            if (plugin_ == nullptr) continue;
            std::vector<DWORD> params;
            for (xlhost::StandardVariable variable : command->callbackParams)
                params.push_back(
                    static_cast<DWORD>(StandardVariable(static_cast<DWORD>(variable)).value_or(0)));
            INT result = 0;
            plugin_->CommandCallback(&pdev_.devobj, static_cast<DWORD>(command->callbackId),
                                     static_cast<DWORD>(params.size()),
                                     params.empty() ? nullptr : params.data(), &result);
            continue;
        }
        std::string expandError;
        const auto bytes = ExpandCommand(
            command->cmd,
            [this](xlhost::StandardVariable variable) -> std::optional<std::int64_t> {
                if (auto value = StandardVariable(static_cast<DWORD>(variable))) return *value;
                return std::nullopt;
            },
            expandError);
        if (!bytes) {
            if (lastError.empty()) lastError = "command " + command->name + ": " + expandError;
            ok = false;
            continue;
        }
        if (!bytes->empty() &&
            Spool(bytes->data(), static_cast<DWORD>(bytes->size())) != bytes->size())
            ok = false;
    }
    return ok;
}

}  // namespace xlhost
