// Shared inside the graphics engine: the tables of live engine objects, pixel
// access, colour translation, raster operations, clip rectangles and the draw
// target that hands results to a device.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include <winddi.h>
#include <xlplatform/engine.h>

namespace xlplatform::engine {

// Objects handed out by pointer (CLIPOBJ*, PATHOBJ*, XLATEOBJ*) are looked up
// here before use, so a pointer the engine did not make is refused, not trusted.
template <typename Public, typename Impl>
class ObjectTable {
  public:
    Public* Add(std::unique_ptr<Impl> impl) {
        Public* pub = &impl->pub;
        std::lock_guard lock(mutex_);
        objects_.emplace(pub, std::move(impl));
        return pub;
    }
    Impl* Find(const Public* pub) {
        if (pub == nullptr) return nullptr;
        std::lock_guard lock(mutex_);
        auto it = objects_.find(pub);
        return it == objects_.end() ? nullptr : it->second.get();
    }
    bool Remove(const Public* pub) {
        std::unique_ptr<Impl> doomed;
        std::lock_guard lock(mutex_);
        auto it = objects_.find(pub);
        if (it == objects_.end()) return false;
        doomed = std::move(it->second);
        objects_.erase(it);
        return true;
    }

  private:
    std::mutex mutex_;
    std::unordered_map<const Public*, std::unique_ptr<Impl>> objects_;
};

// ---------------------------------------------------------------------------
// Geometry.

inline bool IsEmpty(const RECTL& r) {
    return r.left >= r.right || r.top >= r.bottom;
}
inline RECTL Intersect(const RECTL& a, const RECTL& b) {
    RECTL r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
    if (IsEmpty(r)) r = RECTL{0, 0, 0, 0};
    return r;
}
inline RECTL Ordered(const RECTL& r) {
    return RECTL{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom)};
}
inline RECTL SurfaceBounds(const SURFOBJ* so) {
    return RECTL{0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy};
}
RECTL BoundingBox(const std::vector<RECTL>& rects);

// ---------------------------------------------------------------------------
// Pixels.

// The pixel reader is exported (xlplatform/engine.h) for the host's drawing.
using xlplatform::BitsPerPixel;
using xlplatform::PixelView;
using xlplatform::ReadPixel;
using xlplatform::ViewOf;

// Bytes of one row rounded up to a DWORD, as bitmaps the engine allocates have.
// 0 when the format has no pixels or the width is out of range.
uint64_t AlignedStride(ULONG format, int64_t width);

void WritePixel(const PixelView& view, LONG x, LONG y, ULONG value);

// Direct-colour formats: 16 (5-5-5), 24 and 32 bits per pixel. Their values convert
// to and from 0x00RRGGBB.
bool IsDirectColor(ULONG format);
ULONG ValueToRgb(ULONG format, ULONG value);
ULONG RgbToValue(ULONG format, ULONG rgb);

// Source value to destination value for one blit: the XLATEOBJ (table, format
// conversion or trivial). A trivial or missing translation between two different
// direct-colour formats converts through RGB, since the values would otherwise be
// meaningless in the destination.
class Translator {
  public:
    Translator(XLATEOBJ* xlate, ULONG srcFormat, ULONG dstFormat);
    ULONG operator()(ULONG value) const;
    bool IsIdentity() const { return kind_ == Kind::Identity; }

  private:
    enum class Kind { Identity, Table, Convert };
    Kind kind_ = Kind::Identity;
    std::vector<ULONG> table_;
    ULONG srcFormat_ = 0;
    ULONG dstFormat_ = 0;
};

// Applies a ROP3 to pattern, source and destination values bit by bit.
ULONG Rop3(BYTE rop, ULONG pattern, ULONG source, ULONG destination);
inline bool RopUsesSource(BYTE rop) {
    return (((rop >> 2) ^ rop) & 0x33) != 0;
}
inline bool RopUsesPattern(BYTE rop) {
    return (((rop >> 4) ^ rop) & 0x0F) != 0;
}
inline bool RopUsesDestination(BYTE rop) {
    return (((rop >> 1) ^ rop) & 0x55) != 0;
}

// ---------------------------------------------------------------------------
// Objects of other files.

// A path: figures of a start point followed by line and Bezier points (Beziers
// in threes: two control points and an end point).
enum class PointKind : BYTE { Start, Line, Bezier };
struct PathFigure {
    std::vector<POINTFIX> points;
    std::vector<PointKind> kinds;
    bool closed = false;
};
struct PathImpl {
    PATHOBJ pub{};
    std::vector<PathFigure> figures;
    // Enumeration: the next figure and point, and the record last handed out.
    size_t enumFigure = 0;
    size_t enumPoint = 0;
    std::vector<POINTFIX> record;
};
PathImpl* FindPath(const PATHOBJ* ppo);
PATHOBJ* CopyPath(const PathImpl& path);
// The inside of a path as banded rectangles; false when it cannot be rasterised.
bool RasterizePath(const PathImpl& path, FLONG fillMode, std::vector<RECTL>& region);
// Rectangles (any order, may overlap) to a banded region: non-overlapping, sorted by
// top then left, rows with the same spans merged.
std::vector<RECTL> MakeRegion(const std::vector<RECTL>& rects);

// The table-driven translation of one of the engine's XLATEOBJs; false for others.
bool EngineXlate(const XLATEOBJ* xlo, ULONG& srcFormat, ULONG& dstFormat, bool& convert);

// Surfaces.
struct SurfaceInfo {
    FLONG hooks = 0;
};
bool FindSurfaceInfo(const SURFOBJ* so, SurfaceInfo& info);
PFN DeviceFunction(HDEV hdev, ULONG index);

// The clip rectangles of pco inside `limit`. False for a complex clip object that
// the engine did not make (it cannot read its region).
bool ClipRectangles(CLIPOBJ* pco, const RECTL& limit, std::vector<RECTL>& rects);

// ---------------------------------------------------------------------------
// Where a drawing call puts its pixels.
//
// Open() decides, for the destination and the area that the call may change: a
// bitmap the engine may write is drawn directly; otherwise a temporary bitmap of
// the area in the destination's format is drawn and Close() hands it to the
// device's DrvCopyBits with the call's clip object. Coordinates given to the
// renderer are destination coordinates; Canvas() maps them with Offset().
class DrawTarget {
  public:
    DrawTarget() = default;
    DrawTarget(const DrawTarget&) = delete;
    DrawTarget& operator=(const DrawTarget&) = delete;
    ~DrawTarget();

    // `copyBits`: the call is EngCopyBits itself, which writes any bitmap directly
    // (it is what a driver's DrvCopyBits falls back on). `readsDestination`: the
    // temporary bitmap starts as a copy of the destination where it can be read.
    bool Open(SURFOBJ* dst, CLIPOBJ* pco, const RECTL& area, bool copyBits, bool readsDestination);
    // The clip rectangles inside the area, in destination coordinates; empty when
    // nothing is to be drawn.
    const std::vector<RECTL>& Rects() const { return rects_; }
    const PixelView& Canvas() const { return canvas_; }
    LONG OffsetX() const { return offsetX_; }
    LONG OffsetY() const { return offsetY_; }
    BOOL Close();

  private:
    SURFOBJ* dst_ = nullptr;
    CLIPOBJ* pco_ = nullptr;
    std::vector<RECTL> rects_;
    RECTL bounds_{};
    PixelView canvas_;
    LONG offsetX_ = 0;
    LONG offsetY_ = 0;
    HSURF temp_ = nullptr;
    SURFOBJ* tempSo_ = nullptr;
    PFN copyBits_ = nullptr;
};

}  // namespace xlplatform::engine
