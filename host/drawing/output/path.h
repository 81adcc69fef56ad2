// Paths of Unidrv's drawing: a PATHOBJ read into moves, lines, Beziers and
// closes in device pixels, and written as PCL XL path operators.
#pragma once

#include <cstdint>
#include <vector>

#include <winddi.h>

#include "pclxl/stream.h"

namespace xlhost {

struct XLPoint {
    int16_t x = 0;
    int16_t y = 0;
    friend bool operator==(const XLPoint&, const XLPoint&) = default;
};

struct PathStep {
    enum class Kind { Move, Lines, Beziers, Close };
    Kind kind = Kind::Move;
    std::vector<XLPoint> points;  // Move: one; Beziers: control, control, end in threes
};

// The figures of a path, rounded from 28.4 fixed point to the nearest pixel. A
// record that continues no figure starts one at its first point; Bezier points
// that do not make up a whole curve are dropped.
std::vector<PathStep> ReadPath(PATHOBJ* path);

// NewPath, then SetCursor for each move, LinePath and BezierPath with their
// points as embedded sint16 pairs, CloseSubPath for each close.
void WritePath(xlr::XLStream* stream, const std::vector<PathStep>& steps);

}  // namespace xlhost
