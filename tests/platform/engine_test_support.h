// Small bitmaps for the graphics engine tests: made, locked and freed by RAII, with
// 24-bit pixels read and written as 0x00RRGGBB through the SURFOBJ's own fields.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <winddi.h>
#include <xlplatform/engine.h>

namespace enginetest {

class Bitmap {
  public:
    Bitmap(LONG cx, LONG cy, ULONG format = BMF_24BPP, FLONG flags = 0, LONG stride = 0) {
        handle_ =
            reinterpret_cast<HSURF>(EngCreateBitmap(SIZEL{cx, cy}, stride, format, flags, nullptr));
        so_ = handle_ != nullptr ? EngLockSurface(handle_) : nullptr;
    }
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

    // 24-bit pixels: bytes blue, green, red.
    ULONG Rgb(LONG x, LONG y) const {
        const BYTE* p = Row(y) + 3 * x;
        return p[0] | (p[1] << 8) | (ULONG{p[2]} << 16);
    }
    void SetRgb(LONG x, LONG y, ULONG rgb) const {
        BYTE* p = Row(y) + 3 * x;
        p[0] = static_cast<BYTE>(rgb);
        p[1] = static_cast<BYTE>(rgb >> 8);
        p[2] = static_cast<BYTE>(rgb >> 16);
    }
    void Fill(ULONG rgb) const {
        for (LONG y = 0; y < so_->sizlBitmap.cy; ++y)
            for (LONG x = 0; x < so_->sizlBitmap.cx; ++x) SetRgb(x, y, rgb);
    }
    // Row-major 24-bit pixels of the whole bitmap.
    std::vector<ULONG> Pixels() const {
        std::vector<ULONG> out;
        for (LONG y = 0; y < so_->sizlBitmap.cy; ++y)
            for (LONG x = 0; x < so_->sizlBitmap.cx; ++x) out.push_back(Rgb(x, y));
        return out;
    }
    void SetPixels(const std::vector<ULONG>& pixels) const {
        size_t i = 0;
        for (LONG y = 0; y < so_->sizlBitmap.cy; ++y)
            for (LONG x = 0; x < so_->sizlBitmap.cx; ++x) SetRgb(x, y, pixels.at(i++));
    }

  private:
    HSURF handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};

// Grey levels as 24-bit colours.
inline ULONG Grey(BYTE v) {
    return (ULONG{v} << 16) | (ULONG{v} << 8) | v;
}

}  // namespace enginetest
