#include "host/drawing/blit_geometry.h"

#include <algorithm>
#include <cstdint>

#include "host/drawing/output/geometry.h"

namespace xlhost {
namespace {

using Wide = __int128;

int64_t FloorDiv(Wide a, Wide b) {  // b > 0
    Wide q = a / b;
    if (a % b != 0 && a < 0) --q;
    return static_cast<int64_t>(q);
}

int64_t CeilDiv(Wide a, Wide b) {
    return -FloorDiv(-a, b);
}

}  // namespace

AxisMap AxisMap::Slice(int64_t k0, int64_t k1) const {
    k0 = std::clamp<int64_t>(k0, 0, srcLength);
    k1 = std::clamp<int64_t>(k1, k0, srcLength);
    if (Empty() || k0 == k1) return AxisMap{};
    // Image pixel k covers device pixels [dstStart + floor(k * dstLength / srcLength), ...).
    const int64_t d0 = FloorDiv(Wide{k0} * dstLength, srcLength);
    const int64_t d1 = FloorDiv(Wide{k1} * dstLength, srcLength);
    AxisMap part;
    part.srcStart = mirrored ? srcStart + srcLength - k1 : srcStart + k0;
    part.srcLength = k1 - k0;
    part.dstStart = dstStart + d0;
    part.dstLength = d1 - d0;
    part.mirrored = mirrored;
    return part;
}

AxisMap AxisMap::CropSource(int64_t lo, int64_t hi) const {
    if (Empty() || hi <= lo) return AxisMap{};
    const int64_t a = std::max(lo, srcStart) - srcStart;
    const int64_t b = std::min(hi, srcStart + srcLength) - srcStart;
    if (b <= a) return AxisMap{};
    // Source offsets [a, b) are image pixels [a, b), or [length - b, length - a) mirrored.
    return mirrored ? Slice(srcLength - b, srcLength - a) : Slice(a, b);
}

AxisMap AxisMap::CropDevice(int64_t lo, int64_t hi) const {
    if (Empty()) return AxisMap{};
    const int64_t a = std::max(lo, dstStart) - dstStart;
    const int64_t b = std::min(hi, dstStart + dstLength) - dstStart;
    if (b <= a) return AxisMap{};
    // The last image pixel that starts at or before a, and the first that starts at or after b.
    const int64_t k0 = CeilDiv(Wide{a + 1} * srcLength, dstLength) - 1;
    const int64_t k1 = CeilDiv(Wide{b} * srcLength, dstLength);
    return Slice(k0, k1);
}

AxisMap MapAxis(int64_t srcFrom, int64_t srcTo, int64_t dstFrom, int64_t dstTo) {
    AxisMap map;
    map.srcStart = std::min(srcFrom, srcTo);
    map.srcLength = std::max(srcFrom, srcTo) - map.srcStart;
    map.dstStart = std::min(dstFrom, dstTo);
    map.dstLength = std::max(dstFrom, dstTo) - map.dstStart;
    map.mirrored = (srcTo < srcFrom) != (dstTo < dstFrom);
    return map;
}

BlitMap MapBlit(const RECTL& src, const RECTL& dst, SIZEL sourceSize, const RECTL& visible) {
    BlitMap map;
    map.wholeX = MapAxis(src.left, src.right, dst.left, dst.right).CropSource(0, sourceSize.cx);
    map.wholeY = MapAxis(src.top, src.bottom, dst.top, dst.bottom).CropSource(0, sourceSize.cy);
    map.x = map.wholeX.CropDevice(visible.left, visible.right);
    map.y = map.wholeY.CropDevice(visible.top, visible.bottom);
    return map;
}

BlitMap MapUnstretched(const POINTL* srcOrigin, const RECTL& dst, SIZEL sourceSize,
                       const RECTL& visible) {
    const RECTL d = OrderedRect(dst);
    const int64_t sx = srcOrigin != nullptr ? srcOrigin->x : 0;
    const int64_t sy = srcOrigin != nullptr ? srcOrigin->y : 0;
    BlitMap map;
    map.wholeX =
        MapAxis(sx, sx + (int64_t{d.right} - d.left), d.left, d.right).CropSource(0, sourceSize.cx);
    map.wholeY =
        MapAxis(sy, sy + (int64_t{d.bottom} - d.top), d.top, d.bottom).CropSource(0, sourceSize.cy);
    map.x = map.wholeX.CropDevice(visible.left, visible.right);
    map.y = map.wholeY.CropDevice(visible.top, visible.bottom);
    return map;
}

int64_t ImageAxis::Source(int64_t i) const {
    if (!sampled) return map.SourceIndex(i);
    // The image pixel whose run starts at or before this device pixel.
    const int64_t offset = position + i - map.dstStart;
    return map.SourceIndex(CeilDiv(Wide{offset + 1} * map.srcLength, map.dstLength) - 1);
}

ImageAxis PlanAxis(const AxisMap& map, const AxisMap& whole, int64_t visibleFrom,
                   int64_t visibleTo) {
    ImageAxis axis;
    axis.map = map;
    if (map.Empty()) return axis;
    const bool fits = map.srcLength <= kMaxImageSide && map.dstLength <= kMaxImageSide &&
                      map.dstStart >= kMinXLCoordinate && map.dstStart <= kMaxXLCoordinate;
    if (fits) {
        axis.position = map.dstStart;
        axis.count = map.srcLength;
        axis.deviceLength = map.dstLength;
        return axis;
    }
    // Sampling follows the whole run, so that every band picks the same pixels.
    axis.map = whole;
    axis.sampled = true;
    axis.position = std::max(visibleFrom, whole.dstStart);
    axis.count = std::min(visibleTo, whole.dstStart + whole.dstLength) - axis.position;
    axis.deviceLength = axis.count;
    return axis;
}

ImagePlan PlanImage(const BlitMap& map, const RECTL& visible) {
    return ImagePlan{PlanAxis(map.x, map.wholeX, visible.left, visible.right),
                     PlanAxis(map.y, map.wholeY, visible.top, visible.bottom)};
}

RasterImage PlacedImage(const ImagePlan& plan, RasterFormat format) {
    const auto side = [](int64_t v) {
        return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, UINT32_MAX));
    };
    RasterImage image;
    image.format = format;
    image.width = side(plan.x.count);
    image.height = side(plan.y.count);
    image.x = static_cast<LONG>(std::clamp<int64_t>(plan.x.position, INT32_MIN, INT32_MAX));
    image.y = static_cast<LONG>(std::clamp<int64_t>(plan.y.position, INT32_MIN, INT32_MAX));
    image.destWidth = side(plan.x.deviceLength);
    image.destHeight = side(plan.y.deviceLength);
    return image;
}

std::vector<LONG> SourceIndices(const ImageAxis& axis) {
    std::vector<LONG> indices(static_cast<size_t>(std::max<int64_t>(axis.count, 0)));
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<LONG>(axis.Source(static_cast<int64_t>(i)));
    return indices;
}

}  // namespace xlhost
