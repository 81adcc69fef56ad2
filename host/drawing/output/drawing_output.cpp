#include "host/drawing/output/drawing_output.h"

#include <cstdint>

#include "host/drawing/output/geometry.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"
#include "pclxl/spool_flush.h"

namespace xlhost {

PDEVOBJ DeviceOfSurface(const SURFOBJ* surface) {
    if (surface == nullptr || surface->dhpdev == nullptr ||
        reinterpret_cast<uintptr_t>(surface->dhpdev) == ~uintptr_t{0})
        return nullptr;
    auto* device = reinterpret_cast<PDEVOBJ>(surface->dhpdev);
    if (device->pDrvProcs == nullptr || device->pDrvProcs->DrvWriteSpoolBuf == nullptr)
        return nullptr;
    return device;
}

BOOL FailCall(DWORD error) {
    SetLastError(error);
    return FALSE;
}

DrawingOutput::DrawingOutput(PDEVOBJ device) {
    stream_ = xlr::XLStreamCreate(xlr::XLStreamDefaultCapacity(), xlr::XLSpoolFlush, 0);
    if (stream_ == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    stream_->owner = device;
    xlr::XLPushGS(stream_);
}

DrawingOutput::~DrawingOutput() {
    Close();
}

BOOL DrawingOutput::Close() {
    if (stream_ == nullptr) return FALSE;
    xlr::XLPopGS(stream_);
    // PopGS flushed the buffer: a failed spool write shows in the stream's error now.
    xlr::XLStreamFlush(stream_);
    const bool healthy = stream_->error == 0;
    xlr::XLStreamDestroy(stream_);
    stream_ = nullptr;
    return healthy ? TRUE : FailCall(ERROR_WRITE_FAULT);
}

BOOL DrawingOutput::Close(bool imageSent) {
    const BOOL closed = Close();
    if (closed && !imageSent) return FailCall(ERROR_NOT_SUPPORTED);
    return closed;
}

bool OpenTarget(SURFOBJ* surface, CLIPOBJ* pco, DrawingTarget& target) {
    target.device = DeviceOfSurface(surface);
    if (target.device == nullptr) return FailCall(ERROR_INVALID_PARAMETER);
    target.page = PageRect(surface);
    if (IsEmptyRect(target.page)) return FailCall(ERROR_INVALID_PARAMETER);
    target.clip = PlanClip(pco, target.page);
    return true;
}

std::optional<Rgb> SolidColor(const BRUSHOBJ* brush) {
    if (brush == nullptr || brush->iSolidColor == kPatternBrushColor) return std::nullopt;
    return RgbOfDeviceColor(brush->iSolidColor);
}

void WriteDrawingState(xlr::XLStream* stream, const ClipPlan& clip, uint8_t rop3) {
    WriteClip(stream, clip);
    xlr::XLSetROP(stream, rop3);
    xlr::XLSetSourceTxMode(stream, xlr::xlenum::eOpaque);
    xlr::XLSetPaintTxMode(stream, xlr::xlenum::eOpaque);
}

}  // namespace xlhost
