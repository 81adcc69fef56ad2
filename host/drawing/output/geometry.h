// Rectangles and coordinates of Unidrv's drawing functions: device pixels of the
// page, which PCL XL carries as 16-bit signed numbers.
#pragma once

#include <algorithm>
#include <cstdint>

#include <winddi.h>

namespace xlhost {

constexpr LONG kMinXLCoordinate = -32768;
constexpr LONG kMaxXLCoordinate = 32767;

inline bool IsEmptyRect(const RECTL& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// The common part of two rectangles; {0, 0, 0, 0} when they do not meet.
inline RECTL IntersectRects(const RECTL& a, const RECTL& b) {
    const RECTL r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    return IsEmptyRect(r) ? RECTL{0, 0, 0, 0} : r;
}

inline RECTL UnionRects(const RECTL& a, const RECTL& b) {
    if (IsEmptyRect(a)) return b;
    if (IsEmptyRect(b)) return a;
    return RECTL{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}

// A rectangle whose corners may be given in any order, with left <= right and top <= bottom.
inline RECTL OrderedRect(const RECTL& r) {
    return RECTL{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom)};
}

// A coordinate as PCL XL can carry it; farther points are pulled to the edge of that range.
inline int32_t ToXLCoordinate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, kMinXLCoordinate, kMaxXLCoordinate));
}

// A 28.4 fixed-point coordinate rounded to the nearest device pixel.
inline int32_t PixelOfFix(FIX v) {
    return ToXLCoordinate((static_cast<int64_t>(v) + 8) >> 4);
}

// The area of a surface that drawing can mark: its size, within what PCL XL can address.
// Empty for a surface without a size.
inline RECTL PageRect(const SURFOBJ* surface) {
    return RECTL{0, 0, std::clamp<LONG>(surface->sizlBitmap.cx, 0, kMaxXLCoordinate),
                 std::clamp<LONG>(surface->sizlBitmap.cy, 0, kMaxXLCoordinate)};
}

}  // namespace xlhost
