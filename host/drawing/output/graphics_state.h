// PCL XL operators that Unidrv's drawing writes beyond the plug-in's writers:
// colours of pen and brush, line attributes and the fill rule. Each puts its
// attributes and then the operator, as the writers of pclxl/operators.h do.
#pragma once

#include <cstdint>
#include <span>

#include "host/drawing/output/colors.h"
#include "pclxl/stream.h"

namespace xlhost {

void XLSetBrushRgb(xlr::XLStream* stream, Rgb color);  // RGBColor, SetBrushSource
void XLSetNullBrush(xlr::XLStream* stream);            // NullBrush 0, SetBrushSource
void XLSetPenRgb(xlr::XLStream* stream, Rgb color);    // RGBColor, SetPenSource
void XLSetPenWidth(xlr::XLStream* stream, uint32_t width);
void XLSetFillMode(xlr::XLStream* stream, uint32_t mode);
void XLSetLineCap(xlr::XLStream* stream, uint32_t cap);
void XLSetLineJoin(xlr::XLStream* stream, uint32_t join);
void XLSetMiterLimit(xlr::XLStream* stream, uint32_t limit);
// LineDashStyle: the lengths of dashes and gaps in turn, at most 20 of them.
void XLSetLineDash(xlr::XLStream* stream, std::span<const uint8_t> dashes);
void XLSetSolidLine(xlr::XLStream* stream);  // SolidLine 0, SetLineDash

}  // namespace xlhost
