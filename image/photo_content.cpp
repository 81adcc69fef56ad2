#include "image/photo_content.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace xlr {
namespace {

constexpr int64_t kMinSide = 40;         // a side must be longer than this
constexpr int64_t kMinSideSum = 100;     // and both together longer than this
constexpr int kSampledRows = 16;         // rows looked at: about this many
constexpr int kHardEdgeStep = 224;       // a colour step this large is a hard edge
constexpr uint32_t kMaxHardEdges = 230;  // this many hard edges make it not a photo

}  // namespace

bool IsPhotoContent(const SURFOBJ* surface, const RECTL& rect) {
    if (surface == nullptr) return false;
    const int64_t width = int64_t{rect.right} - rect.left;
    const int64_t height = int64_t{rect.bottom} - rect.top;
    if (width <= kMinSide || height <= kMinSide || width + height <= kMinSideSum) return false;
    if (surface->iBitmapFormat != BMF_24BPP || surface->pvScan0 == nullptr) return false;
    // Only pixels inside the bitmap are read.
    if (rect.left < 0 || rect.top < 0 || rect.right > surface->sizlBitmap.cx ||
        rect.bottom > surface->sizlBitmap.cy)
        return false;
    if (std::llabs(surface->lDelta) < int64_t{surface->sizlBitmap.cx} * 3) return false;

    const int64_t step = std::max<int64_t>(height / kSampledRows, 1);
    const auto* scan0 = static_cast<const uint8_t*>(surface->pvScan0);
    const int64_t rowBytes = (width - 1) * 3;  // each byte against the same byte of the next pixel
    std::array<uint32_t, 256> histogram{};
    for (int64_t y = 0; y < height; y += step) {
        const uint8_t* p = scan0 + static_cast<ptrdiff_t>(surface->lDelta) * (rect.top + y) +
                           int64_t{3} * rect.left;
        for (int64_t i = 0; i < rowBytes; ++i) ++histogram[std::abs(int{p[i]} - int{p[i + 3]})];
        uint32_t hardEdges = 0;
        for (int d = kHardEdgeStep; d < 256; ++d) hardEdges += histogram[d];
        if (hardEdges >= kMaxHardEdges) return false;
    }
    return true;
}

}  // namespace xlr
