// Small bitmaps for the graphics engine tests: made, locked and freed by RAII, with
// 24-bit pixels read and written as 0x00RRGGBB through the SURFOBJ's own fields.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <winddi.h>
#include <xlplatform/engine.h>

namespace enginetest {

// 24-bit pixels: bytes blue, green, red.
inline ULONG RgbAt(const SURFOBJ* so, LONG x, LONG y) {
    const BYTE* p = static_cast<const BYTE*>(so->pvScan0) + ptrdiff_t{so->lDelta} * y + 3 * x;
    return p[0] | (p[1] << 8) | (ULONG{p[2]} << 16);
}

// Row-major 24-bit pixels of a whole surface.
inline std::vector<ULONG> Pixels(const SURFOBJ* so) {
    std::vector<ULONG> out;
    for (LONG y = 0; y < so->sizlBitmap.cy; ++y)
        for (LONG x = 0; x < so->sizlBitmap.cx; ++x) out.push_back(RgbAt(so, x, y));
    return out;
}

class Bitmap {
  public:
    Bitmap(LONG cx, LONG cy, ULONG format = BMF_24BPP, FLONG flags = 0, LONG stride = 0)
        : handle_(reinterpret_cast<HSURF>(
              EngCreateBitmap(SIZEL{cx, cy}, stride, format, flags, nullptr))),
          so_(handle_ != nullptr ? EngLockSurface(handle_) : nullptr) {}
    ~Bitmap() {
        if (so_ != nullptr) EngUnlockSurface(so_);
        if (handle_ != nullptr) EngDeleteSurface(handle_);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    SURFOBJ* so() const { return so_; }
    HSURF handle() const { return handle_; }
    BYTE* Row(LONG y) const {
        return static_cast<BYTE*>(so_->pvScan0) + ptrdiff_t{so_->lDelta} * y;
    }
    ULONG Rgb(LONG x, LONG y) const { return RgbAt(so_, x, y); }
    void SetRgb(LONG x, LONG y, ULONG rgb) const {
        BYTE* p = Row(y) + 3 * x;
        for (int byte = 0; byte < 3; ++byte) p[byte] = static_cast<BYTE>(rgb >> 8 * byte);
    }
    void Fill(ULONG rgb) const {
        for (LONG y = 0; y < so_->sizlBitmap.cy; ++y)
            for (LONG x = 0; x < so_->sizlBitmap.cx; ++x) SetRgb(x, y, rgb);
    }
    std::vector<ULONG> Pixels() const { return enginetest::Pixels(so_); }
    void SetPixels(const std::vector<ULONG>& pixels) const {
        for (size_t i = 0; i < pixels.size(); ++i)
            SetRgb(static_cast<LONG>(i % so_->sizlBitmap.cx),
                   static_cast<LONG>(i / so_->sizlBitmap.cx), pixels[i]);
    }

  private:
    HSURF handle_;
    SURFOBJ* so_;
};

// Grey levels as 24-bit colours.
inline ULONG Grey(BYTE v) {
    return ULONG{v} * 0x010101;
}

}  // namespace enginetest
