// The hook table handed to Unidrv at EnableDriver. Each entry holds its hook
// behind the plug-in's exception boundary.
#include "frame/entry_boundary.h"
#include "frame/hooks.h"
#include "image/blit_hooks.h"

namespace xlr {
namespace {

// Slot order: the same slots index PluginDeviceState::unidrvHooks.
const DRVFN kHookTable[kHookCount] = {
    {INDEX_DrvCopyBits, FunctionCast<PFN>(&HookEntry<&DrvCopyBits>::Call)},
    {INDEX_DrvBitBlt, FunctionCast<PFN>(&HookEntry<&DrvBitBlt>::Call)},
    {INDEX_DrvStretchBlt, FunctionCast<PFN>(&HookEntry<&DrvStretchBlt>::Call)},
    {INDEX_DrvStretchBltROP, FunctionCast<PFN>(&HookEntry<&DrvStretchBltROP>::Call)},
    {INDEX_DrvTransparentBlt, FunctionCast<PFN>(&HookEntry<&DrvTransparentBlt>::Call)},
    {INDEX_DrvAlphaBlend, FunctionCast<PFN>(&HookEntry<&DrvAlphaBlend>::Call)},
    {INDEX_DrvGradientFill, FunctionCast<PFN>(&HookEntry<&DrvGradientFill>::Call)},
    {INDEX_DrvTextOut, FunctionCast<PFN>(&HookEntry<&DrvTextOut>::Call)},
    {INDEX_DrvStartPage, FunctionCast<PFN>(&HookEntry<&DrvStartPage>::Call)},
    {INDEX_DrvSendPage, FunctionCast<PFN>(&HookEntry<&DrvSendPage>::Call)},
    {INDEX_DrvEscape, FunctionCast<PFN>(&HookEntry<&DrvEscape>::Call)},
    {INDEX_DrvStartDoc, FunctionCast<PFN>(&HookEntry<&DrvStartDoc>::Call)},
    {INDEX_DrvEndDoc, FunctionCast<PFN>(&HookEntry<&DrvEndDoc>::Call)},
    {INDEX_DrvNextBand, FunctionCast<PFN>(&HookEntry<&DrvNextBand>::Call)},
    {INDEX_DrvStartBanding, FunctionCast<PFN>(&HookEntry<&DrvStartBanding>::Call)},
    {INDEX_DrvPlgBlt, FunctionCast<PFN>(&HookEntry<&DrvPlgBlt>::Call)},
    {INDEX_DrvLineTo, FunctionCast<PFN>(&HookEntry<&DrvLineTo>::Call)},
    {INDEX_DrvStrokePath, FunctionCast<PFN>(&HookEntry<&DrvStrokePath>::Call)},
    {INDEX_DrvFillPath, FunctionCast<PFN>(&HookEntry<&DrvFillPath>::Call)},
    {INDEX_DrvStrokeAndFillPath, FunctionCast<PFN>(&HookEntry<&DrvStrokeAndFillPath>::Call)},
    {INDEX_DrvQueryDeviceSupport, FunctionCast<PFN>(&HookEntry<&DrvQueryDeviceSupport>::Call)},
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
