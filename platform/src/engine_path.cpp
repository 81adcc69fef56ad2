// Path objects: building with moves, lines, Beziers and closes, and enumeration
// as PATHDATA records in 28.4 fixed point.
#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

ObjectTable<PATHOBJ, PathImpl>& Paths() {
    static ObjectTable<PATHOBJ, PathImpl> table;
    return table;
}

// cCurves counts lines and Beziers; fl says whether Beziers occur and whether
// every point lies on a whole pixel.
void UpdateSummary(PathImpl& path) {
    ULONG curves = 0;
    ULONG bezierPoints = 0;
    bool beziers = false;
    bool integers = true;
    for (const PathFigure& figure : path.figures) {
        for (size_t i = 0; i < figure.points.size(); ++i) {
            if (figure.kinds[i] == PointKind::Line) ++curves;
            if (figure.kinds[i] == PointKind::Bezier) {
                beziers = true;
                ++bezierPoints;
            }
            if ((figure.points[i].x & 15) != 0 || (figure.points[i].y & 15) != 0) integers = false;
        }
    }
    path.pub.cCurves = curves + bezierPoints / 3;
    path.pub.fl = (beziers ? PO_BEZIERS : 0) | (integers ? PO_ALL_INTEGERS : 0);
}

// The figure that a line or Bezier continues: after a close, a new figure starts
// at the closed figure's start, as the current position returns there.
PathFigure* CurrentFigure(PathImpl& path) {
    if (path.figures.empty()) return nullptr;
    PathFigure& last = path.figures.back();
    if (!last.closed) return &last;
    PathFigure next;
    next.points.push_back(last.points.front());
    next.kinds.push_back(PointKind::Start);
    path.figures.push_back(std::move(next));
    return &path.figures.back();
}

bool AppendPoints(PATHOBJ* ppo, const POINTFIX* points, ULONG count, PointKind kind) {
    PathImpl* path = Paths().Find(ppo);
    if (path == nullptr || (count > 0 && points == nullptr)) return false;
    if (kind == PointKind::Bezier && count % 3 != 0) return false;
    PathFigure* figure = CurrentFigure(*path);
    if (figure == nullptr) return false;
    figure->points.insert(figure->points.end(), points, points + count);
    figure->kinds.insert(figure->kinds.end(), count, kind);
    UpdateSummary(*path);
    return true;
}

}  // namespace

PathImpl* FindPath(const PATHOBJ* ppo) {
    return Paths().Find(ppo);
}

PATHOBJ* CopyPath(const PathImpl& path) {
    auto copy = std::make_unique<PathImpl>();
    copy->figures = path.figures;
    copy->pub = path.pub;
    return Paths().Add(std::move(copy));
}

}  // namespace xlplatform::engine

using namespace xlplatform::engine;

extern "C" {

PATHOBJ* APIENTRY EngCreatePath() {
    return Paths().Add(std::make_unique<PathImpl>());
}

void APIENTRY EngDeletePath(PATHOBJ* ppo) {
    Paths().Remove(ppo);
}

BOOL APIENTRY PATHOBJ_bMoveTo(PATHOBJ* ppo, POINTFIX ptfx) {
    PathImpl* path = Paths().Find(ppo);
    if (path == nullptr) return FALSE;
    // A move right after a move only changes where the figure starts.
    if (!path->figures.empty() && path->figures.back().points.size() == 1 &&
        !path->figures.back().closed) {
        path->figures.back().points.front() = ptfx;
    } else {
        PathFigure figure;
        figure.points.push_back(ptfx);
        figure.kinds.push_back(PointKind::Start);
        path->figures.push_back(std::move(figure));
    }
    UpdateSummary(*path);
    return TRUE;
}

BOOL APIENTRY PATHOBJ_bPolyLineTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx) {
    return AppendPoints(ppo, pptfx, cptfx, PointKind::Line) ? TRUE : FALSE;
}

BOOL APIENTRY PATHOBJ_bPolyBezierTo(PATHOBJ* ppo, POINTFIX* pptfx, ULONG cptfx) {
    return AppendPoints(ppo, pptfx, cptfx, PointKind::Bezier) ? TRUE : FALSE;
}

BOOL APIENTRY PATHOBJ_bCloseFigure(PATHOBJ* ppo) {
    PathImpl* path = Paths().Find(ppo);
    if (path == nullptr || path->figures.empty()) return FALSE;
    path->figures.back().closed = true;
    return TRUE;
}

void APIENTRY PATHOBJ_vGetBounds(PATHOBJ* ppo, PRECTFX prectfx) {
    if (prectfx == nullptr) return;
    *prectfx = RECTFX{0, 0, 0, 0};
    PathImpl* path = Paths().Find(ppo);
    if (path == nullptr) return;
    bool first = true;
    for (const PathFigure& figure : path->figures) {
        for (const POINTFIX& p : figure.points) {
            if (first) {
                *prectfx = RECTFX{p.x, p.y, p.x, p.y};
                first = false;
            }
            prectfx->xLeft = std::min(prectfx->xLeft, p.x);
            prectfx->yTop = std::min(prectfx->yTop, p.y);
            prectfx->xRight = std::max(prectfx->xRight, p.x);
            prectfx->yBottom = std::max(prectfx->yBottom, p.y);
        }
    }
}

void APIENTRY PATHOBJ_vEnumStart(PATHOBJ* ppo) {
    if (PathImpl* path = Paths().Find(ppo); path != nullptr) {
        path->enumFigure = 0;
        path->enumPoint = 0;
    }
}

// One record holds a run of points of one kind within a figure. The first record
// of a figure begins with the start point (PD_BEGINSUBPATH, and PD_RESETSTYLE as
// the line style restarts there); the last carries PD_ENDSUBPATH, with
// PD_CLOSEFIGURE when the figure was closed. Answers TRUE while records follow.
BOOL APIENTRY PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd) {
    if (ppd == nullptr) return FALSE;
    *ppd = PATHDATA{0, 0, nullptr};
    PathImpl* path = Paths().Find(ppo);
    if (path == nullptr || path->enumFigure >= path->figures.size()) return FALSE;

    const PathFigure& figure = path->figures[path->enumFigure];
    path->record.clear();
    FLONG flags = 0;
    size_t i = path->enumPoint;
    if (i == 0) {
        flags |= PD_BEGINSUBPATH | PD_RESETSTYLE;
        path->record.push_back(figure.points[0]);
        i = 1;
    }
    if (i < figure.points.size()) {
        const PointKind kind = figure.kinds[i];
        if (kind == PointKind::Bezier) flags |= PD_BEZIERS;
        while (i < figure.points.size() && figure.kinds[i] == kind) {
            path->record.push_back(figure.points[i]);
            ++i;
        }
    }
    if (i >= figure.points.size()) {
        flags |= PD_ENDSUBPATH | (figure.closed ? PD_CLOSEFIGURE : 0);
        ++path->enumFigure;
        path->enumPoint = 0;
    } else {
        path->enumPoint = i;
    }
    ppd->flags = flags;
    ppd->count = static_cast<ULONG>(path->record.size());
    ppd->pptfx = path->record.data();
    return path->enumFigure < path->figures.size() ? TRUE : FALSE;
}

}  // extern "C"
