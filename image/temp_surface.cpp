#include "image/temp_surface.h"

#include <utility>

#include "image/dib_stride.h"

namespace xlr {

TempSurface::~TempSurface() {
    Reset();
}

TempSurface::TempSurface(TempSurface&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)),
      surface_(std::exchange(other.surface_, nullptr)) {}

TempSurface& TempSurface::operator=(TempSurface&& other) noexcept {
    if (this != &other) {
        Reset();
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        surface_ = std::exchange(other.surface_, nullptr);
    }
    return *this;
}

void TempSurface::Reset() {
    if (surface_ != nullptr) EngUnlockSurface(surface_);
    if (bitmap_ != nullptr) EngDeleteSurface(reinterpret_cast<HSURF>(bitmap_));
    surface_ = nullptr;
    bitmap_ = nullptr;
}

TempSurface CreateBitmapSurface(HDEV engineDevice, SIZEL size, LONG stride, ULONG format,
                                FLONG flags, PVOID bits) {
    HBITMAP bitmap = EngCreateBitmap(size, stride, format, flags, bits);
    if (bitmap == nullptr) return {};
    HSURF surface = reinterpret_cast<HSURF>(bitmap);
    SURFOBJ* locked = nullptr;
    if (engineDevice == nullptr || EngAssociateSurface(surface, engineDevice, 0))
        locked = EngLockSurface(surface);
    if (locked == nullptr) {
        EngDeleteSurface(surface);
        return {};
    }
    return TempSurface(bitmap, locked);
}

TempSurface CreateTempSurface(PDEVOBJ device, LONG width, LONG height, ULONG format) {
    const ULONG stride = DibStride(format, width);
    if (device == nullptr || device->hEngine == nullptr || stride == 0 || width <= 0 || height <= 0)
        return {};
    return CreateBitmapSurface(static_cast<HDEV>(device->hEngine), SIZEL{width, height},
                               static_cast<LONG>(stride), format, BMF_TOPDOWN | BMF_NOZEROINIT,
                               nullptr);
}

}  // namespace xlr
