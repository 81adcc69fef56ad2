#include "host/drawing/output/path.h"

#include <algorithm>

#include "host/drawing/output/geometry.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlhost {
namespace {

// Points per LinePath or BezierPath: a multiple of 3, well inside a 16-bit count.
constexpr size_t kPointsPerOperator = 8190;

XLPoint PointOf(const POINTFIX& p) {
    return XLPoint{static_cast<int16_t>(PixelOfFix(p.x)), static_cast<int16_t>(PixelOfFix(p.y))};
}

void Append(std::vector<PathStep>& steps, PathStep::Kind kind, const POINTFIX* points,
            size_t count) {
    if (count == 0) return;
    if (steps.empty() || steps.back().kind != kind) steps.push_back(PathStep{kind, {}});
    auto& out = steps.back().points;
    for (size_t i = 0; i < count; ++i) out.push_back(PointOf(points[i]));
}

void WritePoints(xlr::XLStream* stream, const PathStep& step) {
    const bool bezier = step.kind == PathStep::Kind::Beziers;
    for (size_t start = 0; start < step.points.size(); start += kPointsPerOperator) {
        const size_t count = std::min(kPointsPerOperator, step.points.size() - start);
        const auto n = static_cast<uint32_t>(count);
        if (bezier)
            xlr::XLBezierPath(stream, n, xlr::xlenum::eSInt16);
        else
            xlr::XLLinePath(stream, n, xlr::xlenum::eSInt16);
        xlr::XLPutDataLength(stream, n * 4);
        for (size_t i = start; i < start + count; ++i) {
            xlr::XLPutRawUInt16(stream, static_cast<uint16_t>(step.points[i].x));
            xlr::XLPutRawUInt16(stream, static_cast<uint16_t>(step.points[i].y));
        }
    }
}

}  // namespace

std::vector<PathStep> ReadPath(PATHOBJ* path) {
    std::vector<PathStep> steps;
    if (path == nullptr) return steps;
    bool inFigure = false;
    PATHOBJ_vEnumStart(path);
    BOOL more = FALSE;
    do {
        PATHDATA data{};
        more = PATHOBJ_bEnum(path, &data);
        const POINTFIX* points = data.pptfx;
        size_t count = points != nullptr ? data.count : 0;
        if (count == 0) continue;
        if ((data.flags & PD_BEGINSUBPATH) != 0 || !inFigure) {
            steps.push_back(PathStep{PathStep::Kind::Move, {PointOf(points[0])}});
            inFigure = true;
            ++points;
            --count;
        }
        if ((data.flags & PD_BEZIERS) != 0)
            Append(steps, PathStep::Kind::Beziers, points, count - count % 3);
        else
            Append(steps, PathStep::Kind::Lines, points, count);
        if ((data.flags & PD_CLOSEFIGURE) != 0)
            steps.push_back(PathStep{PathStep::Kind::Close, {}});
        if ((data.flags & (PD_ENDSUBPATH | PD_CLOSEFIGURE)) != 0) inFigure = false;
    } while (more);
    return steps;
}

void WritePath(xlr::XLStream* stream, const std::vector<PathStep>& steps) {
    xlr::XLNewPath(stream);
    for (const PathStep& step : steps) {
        switch (step.kind) {
            case PathStep::Kind::Move:
                xlr::XLSetCursor(stream, step.points.front().x, step.points.front().y);
                break;
            case PathStep::Kind::Lines:
            case PathStep::Kind::Beziers:
                WritePoints(stream, step);
                break;
            case PathStep::Kind::Close:
                xlr::XLCloseSubPath(stream);
                break;
        }
    }
}

}  // namespace xlhost
