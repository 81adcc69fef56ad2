#include "host/drawing/output/clip.h"

#include <iterator>

#include "host/drawing/output/geometry.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"

namespace xlhost {
namespace {

// CLIPOBJ_bEnum fills an ENUMRECTS with as many rectangles as this holds.
struct RectBatch {
    ULONG c;
    RECTL arcl[64];
};

std::vector<RECTL> EnumerateRegion(CLIPOBJ* pco, const RECTL& page) {
    std::vector<RECTL> rects;
    CLIPOBJ_cEnumStart(pco, FALSE, CT_RECTANGLES, CD_ANY, 0);
    RectBatch batch{};
    BOOL more = FALSE;
    do {
        batch.c = 0;
        more = CLIPOBJ_bEnum(pco, sizeof batch, reinterpret_cast<ULONG*>(&batch));
        const ULONG count = std::min<ULONG>(batch.c, std::size(batch.arcl));
        for (ULONG i = 0; i < count; ++i) {
            const RECTL r = IntersectRects(OrderedRect(batch.arcl[i]), page);
            if (!IsEmptyRect(r)) rects.push_back(r);
        }
    } while (more);
    return rects;
}

}  // namespace

bool ClipPlan::Empty() const {
    return IsEmptyRect(bounds);
}

ClipPlan PlanClip(CLIPOBJ* pco, const RECTL& page) {
    ClipPlan plan;
    if (pco == nullptr || pco->iDComplexity == DC_TRIVIAL) {
        plan.bounds = IsEmptyRect(page) ? RECTL{} : page;
        return plan;
    }
    if (pco->iDComplexity == DC_COMPLEX) {
        plan.rects = EnumerateRegion(pco, page);
        for (const RECTL& r : plan.rects) plan.bounds = UnionRects(plan.bounds, r);
        plan.kind = plan.rects.size() == 1 ? ClipPlan::Kind::Rectangle : ClipPlan::Kind::Region;
        return plan;
    }
    plan.kind = ClipPlan::Kind::Rectangle;
    plan.bounds = IntersectRects(OrderedRect(pco->rclBounds), page);
    if (!IsEmptyRect(plan.bounds)) plan.rects.push_back(plan.bounds);
    return plan;
}

void WriteClip(xlr::XLStream* stream, const ClipPlan& clip) {
    using namespace xlr;
    // Whether SetClipRectangle replaces or narrows the clip it finds, starting
    // from the page makes the result the same.
    XLSetClipToPage(stream);
    if (clip.kind == ClipPlan::Kind::Page) return;
    if (clip.kind == ClipPlan::Kind::Rectangle && clip.rects.size() == 1) {
        const RECTL& r = clip.rects.front();
        XLSetClipRectangle(stream, r.left, r.top, r.right, r.bottom, xlenum::eInterior);
        return;
    }
    XLNewPath(stream);
    for (const RECTL& r : clip.rects) XLRectanglePath(stream, r.left, r.top, r.right, r.bottom);
    XLSetClipMode(stream, xlenum::eNonZeroWinding);
    XLSetClipReplace(stream, xlenum::eInterior);
    XLNewPath(stream);
}

}  // namespace xlhost
