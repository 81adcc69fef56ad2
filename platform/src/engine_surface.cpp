// Engine surfaces (bitmaps, device-managed surfaces, compressed sources) and the
// engine devices that surfaces are associated with.
#include <xlplatform/engine.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

// The largest bitmap the engine allocates or accepts: cjBits is a ULONG and
// offsets inside a bitmap are taken as LONG by drivers.
constexpr uint64_t kMaxBitmapBytes = 0x7FFFFFFF;

struct Surface {
    SURFOBJ so{};
    FLONG hooks = 0;
    void* ownedBits = nullptr;  // malloc'd by the engine, or null when the caller owns them
    int locks = 0;
    bool deleted = false;  // EngDeleteSurface came while locked: freed at the last unlock

    ~Surface() { std::free(ownedBits); }
};

struct Device {
    DHPDEV dhpdev = nullptr;
    std::map<ULONG, PFN> functions;
};

struct EngineState {
    std::mutex mutex;
    uintptr_t nextHandle = 0x1000;
    std::map<uintptr_t, std::unique_ptr<Surface>> surfaces;  // by handle
    std::unordered_map<const SURFOBJ*, Surface*> byObject;
    std::map<uintptr_t, Device> devices;

    uintptr_t NewHandle() {
        nextHandle += 0x10;
        return nextHandle;
    }
};

EngineState& State() {
    static EngineState state;
    return state;
}

HSURF AddSurface(std::unique_ptr<Surface> surface) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    const uintptr_t handle = state.NewHandle();
    surface->so.hsurf = reinterpret_cast<HSURF>(handle);
    surface->so.iUniq = static_cast<ULONG>(handle);
    state.byObject[&surface->so] = surface.get();
    state.surfaces[handle] = std::move(surface);
    return reinterpret_cast<HSURF>(handle);
}

// Caller holds the mutex.
void DestroySurface(EngineState& state, uintptr_t handle) {
    auto it = state.surfaces.find(handle);
    if (it == state.surfaces.end()) return;
    state.byObject.erase(&it->second->so);
    state.surfaces.erase(it);
}

}  // namespace

bool FindSurfaceInfo(const SURFOBJ* so, SurfaceInfo& info) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.byObject.find(so);
    if (it == state.byObject.end()) return false;
    info.hooks = it->second->hooks;
    return true;
}

PFN DeviceFunction(HDEV hdev, ULONG index) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.devices.find(reinterpret_cast<uintptr_t>(hdev));
    if (it == state.devices.end()) return nullptr;
    auto fn = it->second.functions.find(index);
    return fn == it->second.functions.end() ? nullptr : fn->second;
}

}  // namespace xlplatform::engine

namespace xlplatform {

using namespace engine;

HDEV CreateEngineDevice() {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    const uintptr_t handle = state.NewHandle();
    state.devices[handle] = Device{};
    return reinterpret_cast<HDEV>(handle);
}

BOOL SetEngineDevicePdev(HDEV hdev, DHPDEV dhpdev) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.devices.find(reinterpret_cast<uintptr_t>(hdev));
    if (it == state.devices.end()) return FALSE;
    it->second.dhpdev = dhpdev;
    return TRUE;
}

BOOL SetEngineDeviceFunctions(HDEV hdev, const DRVENABLEDATA* functions) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.devices.find(reinterpret_cast<uintptr_t>(hdev));
    if (it == state.devices.end()) return FALSE;
    it->second.functions.clear();
    if (functions == nullptr || functions->pdrvfn == nullptr) return TRUE;
    for (ULONG i = 0; i < functions->c; ++i) {
        const DRVFN& entry = functions->pdrvfn[i];
        if (entry.iFunc < INDEX_LAST && entry.pfn != nullptr) {
            it->second.functions[entry.iFunc] = entry.pfn;
        }
    }
    return TRUE;
}

PFN EngineDeviceFunction(HDEV hdev, ULONG index) {
    return DeviceFunction(hdev, index);
}

BOOL DeleteEngineDevice(HDEV hdev) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    return state.devices.erase(reinterpret_cast<uintptr_t>(hdev)) != 0 ? TRUE : FALSE;
}

HSURF CreateCompressedSurface(ULONG format, std::span<const BYTE> file, SIZEL declaredSize) {
    if ((format != BMF_JPEG && format != BMF_PNG) || file.empty() ||
        file.size() > kMaxBitmapBytes || declaredSize.cx <= 0 || declaredSize.cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto surface = std::make_unique<Surface>();
    surface->ownedBits = std::malloc(file.size());
    if (surface->ownedBits == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memcpy(surface->ownedBits, file.data(), file.size());
    SURFOBJ& so = surface->so;
    so.sizlBitmap = declaredSize;
    so.cjBits = static_cast<ULONG>(file.size());
    so.pvBits = surface->ownedBits;
    so.pvScan0 = surface->ownedBits;
    so.lDelta = 0;
    so.iBitmapFormat = format;
    so.iType = STYPE_BITMAP;
    so.fjBitmap = BMF_TOPDOWN;
    return AddSurface(std::move(surface));
}

}  // namespace xlplatform

using namespace xlplatform::engine;

extern "C" {

HBITMAP APIENTRY EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits) {
    const uint64_t minStride = AlignedStride(iFormat, sizl.cx);
    if (sizl.cx <= 0 || sizl.cy <= 0 || minStride == 0 || lWidth < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A given stride must hold a row; it need not be DWORD-aligned.
    const uint64_t rowBytes = (static_cast<uint64_t>(sizl.cx) * BitsPerPixel(iFormat) + 7) / 8;
    const uint64_t stride = lWidth == 0 ? minStride : static_cast<uint64_t>(lWidth);
    if (stride < rowBytes || stride * static_cast<uint64_t>(sizl.cy) > kMaxBitmapBytes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const uint64_t size = stride * static_cast<uint64_t>(sizl.cy);

    auto surface = std::make_unique<Surface>();
    BYTE* bits = static_cast<BYTE*>(pvBits);
    if (bits == nullptr) {
        surface->ownedBits = (fl & BMF_NOZEROINIT) != 0 ? std::malloc(size) : std::calloc(1, size);
        if (surface->ownedBits == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        bits = static_cast<BYTE*>(surface->ownedBits);
    }
    SURFOBJ& so = surface->so;
    so.sizlBitmap = sizl;
    so.cjBits = static_cast<ULONG>(size);
    so.pvBits = bits;
    const bool topDown = (fl & BMF_TOPDOWN) != 0;
    // Bottom-up: the first row in memory is the bottom row, so the top row (scan 0)
    // is the last one and rows advance backwards.
    so.pvScan0 = topDown ? bits : bits + stride * static_cast<uint64_t>(sizl.cy - 1);
    so.lDelta = topDown ? static_cast<LONG>(stride) : -static_cast<LONG>(stride);
    so.iBitmapFormat = iFormat;
    so.iType = STYPE_BITMAP;
    so.fjBitmap = static_cast<USHORT>(fl & (BMF_TOPDOWN | BMF_NOZEROINIT | BMF_DONTCACHE |
                                            BMF_USERMEM | BMF_KMSECTION | BMF_NOTSYSMEM));
    return reinterpret_cast<HBITMAP>(AddSurface(std::move(surface)));
}

HSURF APIENTRY EngCreateDeviceSurface(DHSURF dhsurf, SIZEL sizl, ULONG iFormatCompat) {
    if (sizl.cx <= 0 || sizl.cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto surface = std::make_unique<Surface>();
    SURFOBJ& so = surface->so;
    so.dhsurf = dhsurf;
    so.sizlBitmap = sizl;
    so.iBitmapFormat = iFormatCompat;
    so.iType = STYPE_DEVICE;
    return AddSurface(std::move(surface));
}

BOOL APIENTRY EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto surface = state.surfaces.find(reinterpret_cast<uintptr_t>(hsurf));
    auto device = state.devices.find(reinterpret_cast<uintptr_t>(hdev));
    if (surface == state.surfaces.end() || surface->second->deleted ||
        device == state.devices.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    surface->second->so.hdev = hdev;
    surface->second->so.dhpdev = device->second.dhpdev;
    surface->second->hooks = flHooks & HOOK_FLAGS;
    return TRUE;
}

SURFOBJ* APIENTRY EngLockSurface(HSURF hsurf) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.surfaces.find(reinterpret_cast<uintptr_t>(hsurf));
    if (it == state.surfaces.end() || it->second->deleted) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++it->second->locks;
    return &it->second->so;
}

void APIENTRY EngUnlockSurface(SURFOBJ* pso) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    auto it = state.byObject.find(pso);
    if (it == state.byObject.end() || it->second->locks == 0) return;
    Surface* surface = it->second;
    if (--surface->locks == 0 && surface->deleted) {
        DestroySurface(state, reinterpret_cast<uintptr_t>(surface->so.hsurf));
    }
}

BOOL APIENTRY EngDeleteSurface(HSURF hsurf) {
    EngineState& state = State();
    std::lock_guard lock(state.mutex);
    const uintptr_t handle = reinterpret_cast<uintptr_t>(hsurf);
    auto it = state.surfaces.find(handle);
    if (it == state.surfaces.end() || it->second->deleted) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // A surface still locked keeps its SURFOBJ valid until the last unlock.
    if (it->second->locks > 0) {
        it->second->deleted = true;
    } else {
        DestroySurface(state, handle);
    }
    return TRUE;
}

PVOID APIENTRY EngAllocMem(ULONG fl, ULONG cj, ULONG) {
    const size_t size = cj == 0 ? 1 : cj;
    return (fl & FL_ZERO_MEMORY) != 0 ? std::calloc(1, size) : std::malloc(size);
}

void APIENTRY EngFreeMem(PVOID pv) {
    std::free(pv);
}

void APIENTRY EngSetLastError(ULONG iError) {
    SetLastError(iError);
}

ULONG APIENTRY EngGetLastError() {
    return GetLastError();
}

}  // extern "C"
