#include "host/drawing/output/graphics_state.h"

#include "pclxl/attribute_ids.h"
#include "pclxl/operator_tags.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"

namespace xlhost {

using namespace xlr;

namespace {

void PutRgbColor(XLStream* stream, Rgb color) {
    const uint8_t rgb[3] = {color.r, color.g, color.b};
    XLPutUByteArray(stream, rgb, 3);
    XLPutAttribute(stream, xlattr::RGBColor);
}

void PutUByteOperator(XLStream* stream, uint32_t value, uint8_t attribute, uint8_t op) {
    XLPutUByte(stream, value);
    XLPutAttribute(stream, attribute);
    XLPutOperator(stream, op);
}

}  // namespace

void XLSetBrushRgb(XLStream* stream, Rgb color) {
    PutRgbColor(stream, color);
    XLPutOperator(stream, xlop::SetBrushSource);
}

void XLSetNullBrush(XLStream* stream) {
    PutUByteOperator(stream, 0, xlattr::NullBrush, xlop::SetBrushSource);
}

void XLSetPenRgb(XLStream* stream, Rgb color) {
    PutRgbColor(stream, color);
    XLPutOperator(stream, xlop::SetPenSource);
}

void XLSetPenWidth(XLStream* stream, uint32_t width) {
    XLPutUInt16(stream, width);
    XLPutAttribute(stream, xlattr::PenWidth);
    XLPutOperator(stream, xlop::SetPenWidth);
}

void XLSetFillMode(XLStream* stream, uint32_t mode) {
    PutUByteOperator(stream, mode, xlattr::FillMode, xlop::SetFillMode);
}

void XLSetLineCap(XLStream* stream, uint32_t cap) {
    PutUByteOperator(stream, cap, xlattr::LineCapStyle, xlop::SetLineCap);
}

void XLSetLineJoin(XLStream* stream, uint32_t join) {
    PutUByteOperator(stream, join, xlattr::LineJoinStyle, xlop::SetLineJoin);
}

void XLSetMiterLimit(XLStream* stream, uint32_t limit) {
    XLPutUInt16(stream, limit);
    XLPutAttribute(stream, xlattr::MiterLength);
    XLPutOperator(stream, xlop::SetMiterLimit);
}

void XLSetLineDash(XLStream* stream, std::span<const uint8_t> dashes) {
    XLPutUByteArray(stream, dashes.data(), static_cast<uint32_t>(dashes.size()));
    XLPutAttribute(stream, xlattr::LineDashStyle);
    XLPutOperator(stream, xlop::SetLineDash);
}

void XLSetSolidLine(XLStream* stream) {
    PutUByteOperator(stream, 0, xlattr::SolidLine, xlop::SetLineDash);
}

}  // namespace xlhost
