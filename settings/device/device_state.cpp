#include "settings/device/device_state.h"

namespace xlr {
namespace {
uint32_t volatile g_hybridPath = 0;
}  // namespace

uint32_t HybridPathFlag() {
    return g_hybridPath;
}
void SetHybridPathFlag(uint32_t flag) {
    g_hybridPath = flag;
}

PluginDeviceState* DeviceState(PDEVOBJ device) {
    if (device == nullptr || device->pdevOEM == nullptr) return nullptr;
    if (HybridPathFlag() == 0) return static_cast<PluginDeviceState*>(device->pdevOEM);
    return static_cast<HybridDeviceRecord*>(device->pdevOEM)->state;
}

PDEVOBJ DeviceOfSurface(SURFOBJ* surface) {
    if (surface == nullptr || surface->dhpdev == nullptr ||
        reinterpret_cast<uintptr_t>(surface->dhpdev) == ~uintptr_t{0})
        return nullptr;
    return reinterpret_cast<PDEVOBJ>(surface->dhpdev);
}

PluginDeviceState* NewDeviceState() {
    return static_cast<PluginDeviceState*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(PluginDeviceState)));
}

void FreeDeviceState(PluginDeviceState* state) {
    if (state != nullptr) HeapFree(GetProcessHeap(), 0, state);
}

}  // namespace xlr
