// Temporary bitmaps that a blit hook draws into before handing them on: made,
// associated with the device and locked in one step, unlocked and deleted when
// the holder goes away.
#pragma once

#include <printoem.h>
#include <winddi.h>

namespace xlr {

class TempSurface {
  public:
    TempSurface() = default;
    TempSurface(HBITMAP bitmap, SURFOBJ* surface) : bitmap_(bitmap), surface_(surface) {}
    ~TempSurface();
    TempSurface(TempSurface&& other) noexcept;
    TempSurface& operator=(TempSurface&& other) noexcept;
    TempSurface(const TempSurface&) = delete;
    TempSurface& operator=(const TempSurface&) = delete;

    explicit operator bool() const { return surface_ != nullptr; }
    SURFOBJ* get() const { return surface_; }
    HBITMAP bitmap() const { return bitmap_; }

  private:
    void Reset();

    HBITMAP bitmap_ = nullptr;
    SURFOBJ* surface_ = nullptr;
};

// A bitmap of the size, row stride (0: the engine's DWORD-aligned one) and
// format, top-down when `flags` has BMF_TOPDOWN, over `bits` (which the caller
// keeps alive and frees) or over bits the engine allocates when `bits` is null;
// associated with `engineDevice` when there is one (no hooks), and locked.
// Empty on any failure.
TempSurface CreateBitmapSurface(HDEV engineDevice, SIZEL size, LONG stride, ULONG format,
                                FLONG flags, PVOID bits);

// A top-down bitmap of the size and format, with the stride of DibStride and
// bits the engine allocates without clearing them, associated with the device's
// engine device (no hooks) and locked. Empty on any failure, with whatever was
// made deleted again.
TempSurface CreateTempSurface(PDEVOBJ device, LONG width, LONG height, ULONG format);

}  // namespace xlr
