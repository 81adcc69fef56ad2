// Hooks whose own work is not built yet: they pass every call on to Unidrv, so
// that Unidrv still draws the page.
// FIXME: the document and page hooks and the escapes replace these as they are
// built.
#include "frame/hooks.h"

namespace xlr {
namespace {

PluginDeviceState* StateOf(SURFOBJ* surface) { return DeviceState(DeviceOfSurface(surface)); }

template <typename Fn, typename... Args>
auto Forward(SURFOBJ* surface, HookSlot slot, Args... args) -> decltype(std::declval<Fn>()(args...)) {
    PluginDeviceState* state = StateOf(surface);
    if (state == nullptr) return 0;
    Fn unidrv = UnidrvHook<Fn>(*state, slot);
    return unidrv != nullptr ? unidrv(args...) : 0;
}

}  // namespace

BOOL DrvStartPage(SURFOBJ* pso) { return Forward<PFN_DrvStartPage>(pso, kSlotStartPage, pso); }

BOOL DrvSendPage(SURFOBJ* pso) { return Forward<PFN_DrvSendPage>(pso, kSlotSendPage, pso); }

ULONG DrvEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
    return Forward<PFN_DrvEscape>(pso, kSlotEscape, pso, iEsc, cjIn, pvIn, cjOut, pvOut);
}

BOOL DrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
    return Forward<PFN_DrvStartDoc>(pso, kSlotStartDoc, pso, pwszDocName, dwJobId);
}

BOOL DrvEndDoc(SURFOBJ* pso, FLONG fl) { return Forward<PFN_DrvEndDoc>(pso, kSlotEndDoc, pso, fl); }

BOOL DrvNextBand(SURFOBJ* pso, POINTL* pptl) { return Forward<PFN_DrvNextBand>(pso, kSlotNextBand, pso, pptl); }

}  // namespace xlr
