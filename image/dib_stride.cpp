#include "image/dib_stride.h"

#include <array>
#include <cstdint>

namespace xlr {
namespace {

// Bits per pixel of BMF_1BPP (1) .. BMF_32BPP (6), indexed by format.
constexpr std::array<uint32_t, 7> kBitsPerPixel = {0, 1, 4, 8, 16, 24, 32};

}  // namespace

ULONG DibStride(ULONG format, LONG width) {
    if (format >= kBitsPerPixel.size() || kBitsPerPixel[format] == 0 || width < 0) return 0;
    const uint64_t stride =
        (uint64_t{kBitsPerPixel[format]} * static_cast<uint64_t>(width) + 31) / 32 * 4;
    return stride > UINT32_MAX ? 0 : static_cast<ULONG>(stride);
}

}  // namespace xlr
