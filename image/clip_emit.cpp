#include "image/clip_emit.h"

#include <algorithm>

#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlr {
namespace {

constexpr ULONG kMaxClipRectangles = 256;
constexpr ULONG kMoreThanLimit = 0xFFFFFFFF;
constexpr ULONG kMaxEmptyBatches = 1024;
constexpr uint32_t kPointTypeSInt16 = 3;
// NumberOfPoints is a uint16; longer runs go in several records. A multiple of
// three keeps Bezier segments whole.
constexpr ULONG kMaxPointsPerRecord = 65535;
static_assert(kMaxPointsPerRecord % 3 == 0);

// 28.4 fixed point to device pixels, rounding toward minus infinity.
int32_t ToPixel(FIX v) {
    return v >> 4;
}

void EmitPoints(XLStream* stream, const POINTFIX* points, ULONG count, bool beziers) {
    while (count > 0) {
        const ULONG n = std::min(count, kMaxPointsPerRecord);
        if (beziers)
            XLBezierPath(stream, n, kPointTypeSInt16);
        else
            XLLinePath(stream, n, kPointTypeSInt16);
        XLPutDataLength(stream, n * 4);
        for (ULONG i = 0; i < n; ++i) {
            XLPutRawUInt16(stream, static_cast<uint32_t>(ToPixel(points[i].x)));
            XLPutRawUInt16(stream, static_cast<uint32_t>(ToPixel(points[i].y)));
        }
        points += n;
        count -= n;
    }
}

}  // namespace

bool EmitClipRects(CLIPOBJ* clip, const RECTL& destination, XLStream* stream) {
    if (CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_ANY, kMaxClipRectangles) ==
        kMoreThanLimit)
        return EmitClipPath(clip, stream);
    XLNewPath(stream);
    XLSetCursor(stream, destination.left, destination.top);
    ENUMRECTS batch{};
    BOOL more = FALSE;
    // The engine may answer a batch without rectangles and more to follow; the
    // enumeration goes on until it says there is no more. One that only ever
    // answers empty batches would never end: it fails the clip instead.
    ULONG emptyInARow = 0;
    do {
        batch.c = 0;
        more = CLIPOBJ_bEnum(clip, sizeof batch, reinterpret_cast<ULONG*>(&batch));
        if (batch.c == 0) {
            if (more && ++emptyInARow > kMaxEmptyBatches) return false;
            continue;
        }
        emptyInARow = 0;
        const RECTL& r = batch.arcl[0];
        XLRectanglePath(stream, r.left, r.top, r.right, r.bottom);
    } while (more);
    return true;
}

bool EmitClipPath(CLIPOBJ* clip, XLStream* stream) {
    PATHOBJ* path = CLIPOBJ_ppoGetPath(clip);
    if (path == nullptr) return false;
    PATHOBJ_vEnumStart(path);
    XLNewPath(stream);
    PATHDATA record{};
    BOOL more = FALSE;
    do {
        more = PATHOBJ_bEnum(path, &record);
        if (record.count == 0 || record.pptfx == nullptr) continue;
        const POINTFIX* points = record.pptfx;
        ULONG count = record.count;
        if ((record.flags & PD_BEGINSUBPATH) != 0) {
            XLSetCursor(stream, ToPixel(points[0].x), ToPixel(points[0].y));
            ++points;
            --count;
        }
        EmitPoints(stream, points, count, (record.flags & PD_BEZIERS) != 0);
        if ((record.flags & PD_ENDSUBPATH) != 0 && (record.flags & PD_CLOSEFIGURE) != 0)
            XLCloseSubPath(stream);
    } while (more);
    EngDeletePath(path);
    return true;
}

}  // namespace xlr
