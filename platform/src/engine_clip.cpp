// Clip objects: regions of rectangles or of a path, rectangle enumeration and the
// region as a path.
#include <xlplatform/engine.h>

#include <atomic>
#include <cstring>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

struct Clip {
    CLIPOBJ pub{};
    std::vector<RECTL> region;  // banded: by top, then left
    bool hasPath = false;       // made from a path, which CLIPOBJ_ppoGetPath answers
    PathImpl path;
    std::vector<RECTL> enumRects;
    size_t enumNext = 0;
    ULONG emptyBatches = 0;  // empty batches that open every enumeration (tests)
    ULONG emptyLeft = 0;     // of them, still to come in this enumeration
};

ObjectTable<CLIPOBJ, Clip>& Clips() {
    static ObjectTable<CLIPOBJ, Clip> table;
    return table;
}

std::atomic<ULONG> g_nextUniq{1};

// Complexity, mode and bounds as the engine sets them for a region.
void DescribeRegion(Clip& clip) {
    const size_t count = clip.region.size();
    clip.pub.iUniq = g_nextUniq++;
    clip.pub.rclBounds = BoundingBox(clip.region);
    clip.pub.iDComplexity = count <= 1 ? DC_RECT : DC_COMPLEX;
    clip.pub.iFComplexity = count <= 1 ? FC_RECT : count <= 4 ? FC_RECT4 : FC_COMPLEX;
    clip.pub.iMode = count > 1 && clip.hasPath ? TC_PATHOBJ : TC_RECTANGLES;
    clip.pub.fjOptions = 0;
}

// The region as its public fields describe it now: the caller may have narrowed
// rclBounds or lowered the complexity since the object was made.
std::vector<RECTL> CurrentRegion(const Clip& clip, bool withinBounds) {
    const CLIPOBJ& pub = clip.pub;
    if (pub.iDComplexity == DC_TRIVIAL || pub.iDComplexity == DC_RECT) {
        if (IsEmpty(pub.rclBounds)) return {};
        return {pub.rclBounds};
    }
    if (!withinBounds) return clip.region;
    std::vector<RECTL> rects;
    for (const RECTL& r : clip.region) {
        const RECTL inside = Intersect(r, pub.rclBounds);
        if (!IsEmpty(inside)) rects.push_back(inside);
    }
    return rects;
}

// Reverses the order of rectangles inside each band (rectangles of one band share their top).
void ReverseWithinBands(std::vector<RECTL>& rects) {
    for (size_t start = 0; start < rects.size();) {
        size_t end = start;
        while (end < rects.size() && rects[end].top == rects[start].top) ++end;
        std::reverse(rects.begin() + start, rects.begin() + end);
        start = end;
    }
}

void Order(std::vector<RECTL>& rects, ULONG direction) {
    if (direction >= CD_ANY) return;
    if ((direction & CD_UPWARDS) != 0) {
        // Bands bottom to top, each still left to right.
        std::reverse(rects.begin(), rects.end());
        ReverseWithinBands(rects);
    }
    if ((direction & CD_LEFTWARDS) != 0) ReverseWithinBands(rects);
}

CLIPOBJ* AddRegionClip(std::vector<RECTL> region, const PathImpl* path) {
    auto clip = std::make_unique<Clip>();
    clip->region = std::move(region);
    if (path != nullptr) {
        clip->hasPath = true;
        clip->path.figures = path->figures;
        clip->path.pub = path->pub;
    }
    DescribeRegion(*clip);
    // Enumerating without CLIPOBJ_cEnumStart gives the whole region in any order.
    clip->enumRects = clip->region;
    return Clips().Add(std::move(clip));
}

// 28.4 of a device coordinate, kept inside what a FIX can hold.
FIX ToFix(LONG v) {
    constexpr LONG kLimit = (1 << 27) - 1;
    return std::clamp(v, -kLimit, kLimit) * 16;
}

}  // namespace

bool ClipRectangles(CLIPOBJ* pco, const RECTL& limit, std::vector<RECTL>& rects) {
    rects.clear();
    if (pco == nullptr || pco->iDComplexity == DC_TRIVIAL) {
        if (!IsEmpty(limit)) rects.push_back(limit);
        return true;
    }
    if (pco->iDComplexity == DC_RECT) {
        const RECTL r = Intersect(pco->rclBounds, limit);
        if (!IsEmpty(r)) rects.push_back(r);
        return true;
    }
    Clip* clip = Clips().Find(pco);
    if (clip == nullptr) return false;
    for (const RECTL& r : CurrentRegion(*clip, true)) {
        const RECTL inside = Intersect(r, limit);
        if (!IsEmpty(inside)) rects.push_back(inside);
    }
    return true;
}

}  // namespace xlplatform::engine

namespace xlplatform {

using namespace engine;

CLIPOBJ* CreateRectClip(const RECTL& rect) {
    std::vector<RECTL> region;
    if (!IsEmpty(rect)) region.push_back(rect);
    return AddRegionClip(std::move(region), nullptr);
}

CLIPOBJ* CreateRegionClip(std::span<const RECTL> rects) {
    return AddRegionClip(MakeRegion(std::vector<RECTL>(rects.begin(), rects.end())), nullptr);
}

CLIPOBJ* CreatePathClip(PATHOBJ* path, FLONG fillMode) {
    PathImpl* impl = FindPath(path);
    std::vector<RECTL> region;
    if (impl == nullptr || (fillMode != FP_ALTERNATEMODE && fillMode != FP_WINDINGMODE) ||
        !RasterizePath(*impl, fillMode, region)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AddRegionClip(std::move(region), impl);
}

BOOL SetClipEmptyBatches(CLIPOBJ* pco, ULONG count) {
    Clip* clip = Clips().Find(pco);
    if (clip == nullptr) return FALSE;
    clip->emptyBatches = clip->emptyLeft = count;
    return TRUE;
}

}  // namespace xlplatform

using namespace xlplatform::engine;

extern "C" {

CLIPOBJ* APIENTRY EngCreateClip() {
    auto clip = std::make_unique<Clip>();
    clip->pub.iDComplexity = DC_TRIVIAL;
    clip->pub.iFComplexity = FC_RECT;
    clip->pub.iMode = TC_RECTANGLES;
    return Clips().Add(std::move(clip));
}

void APIENTRY EngDeleteClip(CLIPOBJ* pco) {
    Clips().Remove(pco);
}

ULONG APIENTRY CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection,
                                  ULONG cLimit) {
    Clip* clip = Clips().Find(pco);
    if (clip == nullptr) return 0;
    clip->enumRects.clear();
    clip->enumNext = 0;
    clip->emptyLeft = clip->emptyBatches;
    if (iType != CT_RECTANGLES) return 0;
    clip->enumRects = CurrentRegion(*clip, bAll == FALSE);
    Order(clip->enumRects, iDirection);
    const size_t count = clip->enumRects.size();
    // More rectangles than the caller wants to handle one by one.
    if (cLimit != 0 && count > cLimit) return 0xFFFFFFFF;
    return static_cast<ULONG>(count);
}

// Fills an ENUMRECTS of cj bytes with as many rectangles as fit; TRUE while more
// remain after them. A batch may be empty with more to come: the engine's
// contract allows it, and tests ask for such batches first.
BOOL APIENTRY CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pul) {
    Clip* clip = Clips().Find(pco);
    if (clip == nullptr || pul == nullptr || cj < sizeof(ULONG)) return FALSE;
    if (clip->emptyLeft > 0) {
        --clip->emptyLeft;
        const ULONG none = 0;
        std::memcpy(pul, &none, sizeof none);
        return TRUE;
    }
    const size_t capacity = (cj - offsetof(ENUMRECTS, arcl)) / sizeof(RECTL);
    const size_t remaining = clip->enumRects.size() - clip->enumNext;
    const size_t n = std::min(capacity, remaining);
    BYTE* out = reinterpret_cast<BYTE*>(pul);
    const ULONG c = static_cast<ULONG>(n);
    std::memcpy(out, &c, sizeof c);
    if (n > 0) {
        std::memcpy(out + offsetof(ENUMRECTS, arcl), clip->enumRects.data() + clip->enumNext,
                    n * sizeof(RECTL));
    }
    clip->enumNext += n;
    return clip->enumNext < clip->enumRects.size() ? TRUE : FALSE;
}

// A new path the caller deletes with EngDeletePath: the clip's own path when it was
// made from one, otherwise one closed figure per rectangle of the region.
PATHOBJ* APIENTRY CLIPOBJ_ppoGetPath(CLIPOBJ* pco) {
    Clip* clip = Clips().Find(pco);
    if (clip == nullptr) return nullptr;
    if (clip->hasPath && pco->iMode == TC_PATHOBJ) return CopyPath(clip->path);
    PATHOBJ* path = EngCreatePath();
    if (path == nullptr) return nullptr;
    for (const RECTL& r : CurrentRegion(*clip, true)) {
        POINTFIX corners[3] = {{ToFix(r.right), ToFix(r.top)},
                               {ToFix(r.right), ToFix(r.bottom)},
                               {ToFix(r.left), ToFix(r.bottom)}};
        PATHOBJ_bMoveTo(path, POINTFIX{ToFix(r.left), ToFix(r.top)});
        PATHOBJ_bPolyLineTo(path, corners, 3);
        PATHOBJ_bCloseFigure(path);
    }
    return path;
}

}  // extern "C"
