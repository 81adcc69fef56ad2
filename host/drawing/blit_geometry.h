// Where the pixels of an image transfer land: per axis, a run of source pixels
// spread over a run of device pixels (stretched, shrunk or the same), in reverse
// order when the transfer mirrors. Cropping keeps the placement of the pixels
// that stay, so that the pieces of one transfer cut by bands meet exactly.
#pragma once

#include <cstdint>
#include <vector>

#include <winddi.h>

#include "host/drawing/output/raster_image.h"

namespace xlhost {

struct AxisMap {
    int64_t srcStart = 0;  // first source pixel of the run
    int64_t srcLength = 0;
    int64_t dstStart = 0;  // first device pixel
    int64_t dstLength = 0;
    bool mirrored = false;

    bool Empty() const { return srcLength <= 0 || dstLength <= 0; }
    // The source pixel of the k-th pixel of the image as sent (0 <= k < srcLength).
    int64_t SourceIndex(int64_t k) const {
        return mirrored ? srcStart + srcLength - 1 - k : srcStart + k;
    }
    // The first source pixel that the image's row or column starts with.
    int64_t FirstSource() const { return SourceIndex(0); }

    // The image pixels [k0, k1) alone, where the whole run puts them.
    AxisMap Slice(int64_t k0, int64_t k1) const;
    // Only the source pixels inside [lo, hi).
    AxisMap CropSource(int64_t lo, int64_t hi) const;
    // Only the image pixels that land, wholly or partly, in device pixels [lo, hi).
    AxisMap CropDevice(int64_t lo, int64_t hi) const;
};

// One axis of a transfer from the source run [srcFrom, srcTo) to the device run
// [dstFrom, dstTo); either run may be reversed (to < from), and when exactly one
// is, the transfer mirrors.
AxisMap MapAxis(int64_t srcFrom, int64_t srcTo, int64_t dstFrom, int64_t dstTo);

struct BlitMap {
    AxisMap x;  // cropped to the source and to the visible rectangle
    AxisMap y;
    AxisMap wholeX;  // cropped to the source only: what sampling follows
    AxisMap wholeY;
    bool Empty() const { return x.Empty() || y.Empty(); }
};

// A transfer from the source rectangle to the destination rectangle (either may
// be reversed on either axis), cropped to the source bitmap and to `visible`.
BlitMap MapBlit(const RECTL& src, const RECTL& dst, SIZEL sourceSize, const RECTL& visible);

// A transfer without stretching: the source from `srcOrigin` (or 0, 0), as large
// as the destination rectangle (taken in order), cropped likewise.
BlitMap MapUnstretched(const POINTL* srcOrigin, const RECTL& dst, SIZEL sourceSize,
                       const RECTL& visible);

// How one axis of a transfer goes out. Normally as the source run itself, which
// the printer scales to its device length. When that cannot be said in PCL XL
// (more than kMaxImageSide pixels either way, or a start outside 16 bits: a
// huge magnification or reduction), the run is sampled instead at every device
// pixel it covers inside the visible range, one image pixel per device pixel.
struct ImageAxis {
    AxisMap map;  // the cropped run, or for a sampled axis the whole one
    bool sampled = false;
    int64_t position = 0;      // device pixel where the image's first pixel goes
    int64_t count = 0;         // image pixels
    int64_t deviceLength = 0;  // device pixels they cover

    bool Empty() const { return count <= 0 || deviceLength <= 0; }
    // The source pixel of image pixel i.
    int64_t Source(int64_t i) const;
};

// `map` is cropped to the visible range [visibleFrom, visibleTo), `whole` is not.
ImageAxis PlanAxis(const AxisMap& map, const AxisMap& whole, int64_t visibleFrom,
                   int64_t visibleTo);

struct ImagePlan {
    ImageAxis x;
    ImageAxis y;
    bool Empty() const { return x.Empty() || y.Empty(); }
};

// The image of a transfer already cropped to `visible`.
ImagePlan PlanImage(const BlitMap& map, const RECTL& visible);

// The RasterImage of a plan: its size in image pixels and its place on the page.
RasterImage PlacedImage(const ImagePlan& plan, RasterFormat format);

// The source column of every image pixel of the axis, in order.
std::vector<LONG> SourceIndices(const ImageAxis& axis);

}  // namespace xlhost
