// Lines and paths: the PATHOBJ as a PCL XL path, stroked with the pen of the
// line attributes and the brush's colour, filled under the call's fill rule.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "host/drawing/output/geometry.h"
#include "host/drawing/output/drawing_output.h"
#include "host/drawing/output/rops.h"
#include "host/drawing/functions.h"
#include "host/drawing/output/graphics_state.h"
#include "host/drawing/output/path.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"

namespace xlhost {
namespace {

using namespace xlr::xlenum;

// PCL XL dash arrays hold at most 20 lengths.
constexpr size_t kMaxDashes = 20;

// By ENDCAP_ and JOIN_ value.
constexpr uint8_t kCapOf[] = {eRoundCap, eSquareCap, eButtCap};
constexpr uint8_t kJoinOf[] = {eRoundJoin, eBevelJoin, eMiterJoin};
static_assert(kCapOf[ENDCAP_BUTT] == eButtCap && kJoinOf[JOIN_MITER] == eMiterJoin);

struct Stroke {
    Rgb color;
    const LINEATTRS* line = nullptr;  // null: a cosmetic solid line one pixel wide
};

struct Fill {
    Rgb color;
    uint8_t rule = eNonZeroWinding;
};

uint32_t WholeUnits(double v, uint32_t lowest, uint32_t highest) {
    if (!std::isfinite(v)) return lowest;
    return static_cast<uint32_t>(
        std::clamp(std::lround(std::clamp(v, -1e9, 1e9)), long{lowest}, long{highest}));
}

// Geometric widths and dash lengths are taken as device pixels: the drawing
// calls reach Unidrv with the world transform already applied to the path.
void WriteDashes(xlr::XLStream* stream, const LINEATTRS& line) {
    const bool geometric = (line.fl & LA_GEOMETRIC) != 0;
    std::vector<uint8_t> dashes;
    if ((line.fl & LA_STYLED) != 0 && line.pstyle != nullptr && line.cstyle > 0) {
        for (ULONG i = 0; i < std::min<ULONG>(line.cstyle, kMaxDashes); ++i) {
            const double length = geometric ? line.pstyle[i].e : line.pstyle[i].l;
            dashes.push_back(static_cast<uint8_t>(WholeUnits(length, 1, 255)));
        }
        // The style begins with a gap: the printer's begins with a dash.
        if ((line.fl & LA_STARTGAP) != 0)
            std::rotate(dashes.begin(), dashes.begin() + 1, dashes.end());
    } else if ((line.fl & LA_ALTERNATE) != 0) {
        dashes = {1, 1};
    }
    if (dashes.empty())
        XLSetSolidLine(stream);
    else
        XLSetLineDash(stream, dashes);
}

void WritePen(xlr::XLStream* stream, const Stroke& stroke) {
    XLSetPenRgb(stream, stroke.color);
    const LINEATTRS* line = stroke.line;
    if (line == nullptr || (line->fl & LA_GEOMETRIC) == 0) {
        XLSetPenWidth(stream, line == nullptr ? 1 : WholeUnits(line->elWidth.l, 1, 0xFFFF));
        XLSetLineCap(stream, eRoundCap);
        XLSetLineJoin(stream, eRoundJoin);
    } else {
        XLSetPenWidth(stream, WholeUnits(line->elWidth.e, 1, 0xFFFF));
        XLSetLineCap(
            stream, line->iEndCap < std::size(kCapOf) ? kCapOf[line->iEndCap] : uint8_t{eRoundCap});
        const uint8_t join =
            line->iJoin < std::size(kJoinOf) ? kJoinOf[line->iJoin] : uint8_t{eRoundJoin};
        XLSetLineJoin(stream, join);
        if (join == eMiterJoin) XLSetMiterLimit(stream, WholeUnits(line->eMiterLimit, 1, 0xFFFF));
    }
    if (line == nullptr)
        XLSetSolidLine(stream);
    else
        WriteDashes(stream, *line);
}

// The colour a pen or brush paints with: a solid brush's, or any colour for a
// ROP3 that does not use it. Nothing for a pattern brush that the ROP3 needs.
std::optional<Rgb> PaintColor(const BRUSHOBJ* brush, uint8_t rop3) {
    if (!RopUsesPattern(rop3)) return kBlack;
    return SolidColor(brush);
}

BOOL PaintPath(SURFOBJ* surface, CLIPOBJ* pco, const std::vector<PathStep>& steps, uint8_t rop3,
               const std::optional<Stroke>& stroke, const std::optional<Fill>& fill) {
    DrawingTarget target;
    if (!OpenTarget(surface, pco, target)) return FALSE;
    if (target.clip.Empty() || steps.empty() || rop3 == kRopDestination) return TRUE;
    DrawingOutput out(target.device);
    if (!out.Ok()) return FALSE;
    xlr::XLStream* stream = out.Stream();
    WriteDrawingState(stream, target.clip, rop3);
    xlr::XLSetColorSpace(stream, eRGB);
    if (fill) {
        XLSetFillMode(stream, fill->rule);
        XLSetBrushRgb(stream, fill->color);
    } else {
        XLSetNullBrush(stream);
    }
    if (stroke)
        WritePen(stream, *stroke);
    else
        xlr::XLSetNullPen(stream);
    WritePath(stream, steps);
    xlr::XLPaintPath(stream);
    return out.Close();
}

std::optional<uint8_t> FillRule(FLONG flOptions) {
    if ((flOptions & FP_WINDINGMODE) != 0) return eNonZeroWinding;
    if ((flOptions & FP_ALTERNATEMODE) != 0) return eEvenOdd;
    return std::nullopt;
}

}  // namespace

BOOL DrvLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2,
               RECTL* /*prclBounds*/, MIX mix) {
    return GuardedCall([&] {
        if (pso == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
        const uint8_t rop3 = Rop3OfMix(mix);
        const auto color = PaintColor(pbo, rop3);
        if (!color) return FailCall(pbo == nullptr ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
        const auto point = [](LONG x, LONG y) {
            return XLPoint{static_cast<int16_t>(ToXLCoordinate(x)),
                           static_cast<int16_t>(ToXLCoordinate(y))};
        };
        const std::vector<PathStep> steps = {{PathStep::Kind::Move, {point(x1, y1)}},
                                             {PathStep::Kind::Lines, {point(x2, y2)}}};
        return PaintPath(pso, pco, steps, rop3, Stroke{*color, nullptr}, std::nullopt);
    });
}

BOOL DrvStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* /*pxo*/, BRUSHOBJ* pbo,
                   POINTL* /*pptlBrushOrg*/, LINEATTRS* plineattrs, MIX mix) {
    return GuardedCall([&] {
        if (pso == nullptr || ppo == nullptr || plineattrs == nullptr)
            return FailCall(ERROR_INVALID_PARAMETER);
        const uint8_t rop3 = Rop3OfMix(mix);
        const auto color = PaintColor(pbo, rop3);
        if (!color) return FailCall(pbo == nullptr ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
        return PaintPath(pso, pco, ReadPath(ppo), rop3, Stroke{*color, plineattrs}, std::nullopt);
    });
}

BOOL DrvFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* /*pptlBrushOrg*/,
                 MIX mix, FLONG flOptions) {
    return GuardedCall([&] {
        const auto rule = FillRule(flOptions);
        if (pso == nullptr || ppo == nullptr || !rule) return FailCall(ERROR_INVALID_PARAMETER);
        const uint8_t rop3 = Rop3OfMix(mix);
        const auto color = PaintColor(pbo, rop3);
        if (!color) return FailCall(pbo == nullptr ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
        return PaintPath(pso, pco, ReadPath(ppo), rop3, std::nullopt, Fill{*color, *rule});
    });
}

// One PaintPath fills and then strokes, both under the fill's mix.
BOOL DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* /*pxo*/,
                          BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                          POINTL* /*pptlBrushOrg*/, MIX mixFill, FLONG flOptions) {
    return GuardedCall([&] {
        const auto rule = FillRule(flOptions);
        if (pso == nullptr || ppo == nullptr || plineattrs == nullptr || !rule)
            return FailCall(ERROR_INVALID_PARAMETER);
        const uint8_t rop3 = Rop3OfMix(mixFill);
        const auto strokeColor = PaintColor(pboStroke, rop3);
        const auto fillColor = PaintColor(pboFill, rop3);
        if (!strokeColor || !fillColor)
            return FailCall(pboStroke == nullptr || pboFill == nullptr ? ERROR_INVALID_PARAMETER
                                                                       : ERROR_NOT_SUPPORTED);
        return PaintPath(pso, pco, ReadPath(ppo), rop3, Stroke{*strokeColor, plineattrs},
                         Fill{*fillColor, *rule});
    });
}

}  // namespace xlhost
