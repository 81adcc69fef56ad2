// The hook table handed to Unidrv at EnableDriver.
#include "frame/hooks.h"
#include "image/blit_hooks.h"

namespace xlr {
namespace {

// Slot order: the same slots index PluginDeviceState::unidrvHooks.
const DRVFN kHookTable[kHookCount] = {
    {INDEX_DrvCopyBits, FunctionCast<PFN>(&DrvCopyBits)},
    {INDEX_DrvBitBlt, FunctionCast<PFN>(&DrvBitBlt)},
    {INDEX_DrvStretchBlt, FunctionCast<PFN>(&DrvStretchBlt)},
    {INDEX_DrvStretchBltROP, FunctionCast<PFN>(&DrvStretchBltROP)},
    {INDEX_DrvTransparentBlt, FunctionCast<PFN>(&DrvTransparentBlt)},
    {INDEX_DrvAlphaBlend, FunctionCast<PFN>(&DrvAlphaBlend)},
    {INDEX_DrvGradientFill, FunctionCast<PFN>(&DrvGradientFill)},
    {INDEX_DrvTextOut, FunctionCast<PFN>(&DrvTextOut)},
    {INDEX_DrvStartPage, FunctionCast<PFN>(&DrvStartPage)},
    {INDEX_DrvSendPage, FunctionCast<PFN>(&DrvSendPage)},
    {INDEX_DrvEscape, FunctionCast<PFN>(&DrvEscape)},
    {INDEX_DrvStartDoc, FunctionCast<PFN>(&DrvStartDoc)},
    {INDEX_DrvEndDoc, FunctionCast<PFN>(&DrvEndDoc)},
    {INDEX_DrvNextBand, FunctionCast<PFN>(&DrvNextBand)},
    {INDEX_DrvStartBanding, FunctionCast<PFN>(&DrvStartBanding)},
    {INDEX_DrvPlgBlt, FunctionCast<PFN>(&DrvPlgBlt)},
    {INDEX_DrvLineTo, FunctionCast<PFN>(&DrvLineTo)},
    {INDEX_DrvStrokePath, FunctionCast<PFN>(&DrvStrokePath)},
    {INDEX_DrvFillPath, FunctionCast<PFN>(&DrvFillPath)},
    {INDEX_DrvStrokeAndFillPath, FunctionCast<PFN>(&DrvStrokeAndFillPath)},
    {INDEX_DrvQueryDeviceSupport, FunctionCast<PFN>(&DrvQueryDeviceSupport)},
};

constexpr DWORD kInterfaceVersion = 0x00010000;
constexpr DWORD kMinimumEnableDataSize =
    12;  // iDriverVersion, c, pdrvfn on the original 32-bit layout

}  // namespace

bool EnableHookTable(DWORD driverVersion, DWORD size, DRVENABLEDATA* ded) {
    if (driverVersion != kInterfaceVersion || size < kMinimumEnableDataSize || ded == nullptr)
        return false;
    for (int slot = 0; slot < kHookCount; ++slot)
        if (kHookTable[slot].iFunc != kHookFunctionIndex[slot]) return false;
    ded->iDriverVersion = kInterfaceVersion;
    ded->c = kHookCount;
    ded->pdrvfn = const_cast<DRVFN*>(kHookTable);
    return true;
}

}  // namespace xlr
