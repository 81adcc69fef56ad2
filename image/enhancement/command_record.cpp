#include "image/enhancement/command_record.h"

#include <algorithm>

namespace xlr {
namespace {

bool IsEmpty(const RECTL& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

}  // namespace

bool IsLargeImage(ULONG format, int64_t width, int64_t height) {
    if (format != BMF_24BPP && format != BMF_32BPP) return false;
    if (width <= 0 || height <= 0) return false;
    // Either side alone may reach the threshold; the product cannot overflow then.
    return width >= kSmallestEnhancedImage || height >= kSmallestEnhancedImage ||
           width * height >= kSmallestEnhancedImage;
}

bool AreAdjacent(const RECTL& a, const RECTL& b) {
    const bool stacked =
        a.left == b.left && a.right == b.right && a.top <= b.bottom && a.bottom >= b.top;
    const bool sideBySide =
        a.top == b.top && a.bottom == b.bottom && a.left <= b.right && a.right >= b.left;
    return stacked || sideBySide;
}

RECTL UnionOf(const RECTL& a, const RECTL& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return RECTL{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}

bool Contains(const RECTL& outer, const RECTL& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

ClipCopy CopyOfClip(const CLIPOBJ* clip) {
    if (clip == nullptr) return ClipCopy{};
    return ClipCopy{clip->iUniq,        clip->rclBounds, clip->iDComplexity,
                    clip->iFComplexity, clip->iMode,     clip->fjOptions};
}

}  // namespace xlr
