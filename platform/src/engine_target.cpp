// The draw target of the engine's drawing calls: a bitmap it writes itself, or a
// temporary bitmap handed to the device's DrvCopyBits.
#include <cstring>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

// Engine calls that hand results to a driver, which may fall back on the engine
// again: a chain deeper than this is a loop between driver and engine.
constexpr int kMaxCallbackDepth = 4;
thread_local int t_callbackDepth = 0;

}  // namespace

DrawTarget::~DrawTarget() {
    if (tempSo_ != nullptr) EngUnlockSurface(tempSo_);
    if (temp_ != nullptr) EngDeleteSurface(temp_);
}

bool DrawTarget::Open(SURFOBJ* dst, CLIPOBJ* pco, const RECTL& area, bool copyBits,
                      bool readsDestination) {
    dst_ = dst;
    pco_ = pco;
    if (dst == nullptr || dst->sizlBitmap.cx <= 0 || dst->sizlBitmap.cy <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const RECTL limit = Intersect(Ordered(area), SurfaceBounds(dst));
    if (!ClipRectangles(pco, limit, rects_)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (rects_.empty()) return true;
    bounds_ = BoundingBox(rects_);

    PixelView view;
    const bool hasBits = ViewOf(dst, view);
    SurfaceInfo info;
    const bool hooksCopy = FindSurfaceInfo(dst, info) && (info.hooks & HOOK_COPYBITS) != 0;
    copyBits_ = dst->hdev != nullptr ? DeviceFunction(dst->hdev, INDEX_DrvCopyBits) : nullptr;
    if (hasBits && (copyBits || !hooksCopy || copyBits_ == nullptr)) {
        canvas_ = view;
        return true;
    }
    if (!hasBits && (dst->iType != STYPE_DEVICE || copyBits_ == nullptr)) {
        // Neither pixels the engine can write nor a device to hand them to.
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    if (t_callbackDepth >= kMaxCallbackDepth) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }

    const ULONG format = BitsPerPixel(dst->iBitmapFormat) != 0 ? dst->iBitmapFormat : BMF_24BPP;
    const SIZEL size{bounds_.right - bounds_.left, bounds_.bottom - bounds_.top};
    temp_ = reinterpret_cast<HSURF>(EngCreateBitmap(size, 0, format, BMF_NOZEROINIT, nullptr));
    tempSo_ = temp_ != nullptr ? EngLockSurface(temp_) : nullptr;
    if (tempSo_ == nullptr || !ViewOf(tempSo_, canvas_)) return false;
    offsetX_ = -bounds_.left;
    offsetY_ = -bounds_.top;
    if (readsDestination && hasBits) {
        for (LONG y = 0; y < size.cy; ++y) {
            for (LONG x = 0; x < size.cx; ++x) {
                WritePixel(canvas_, x, y, ReadPixel(view, x + bounds_.left, y + bounds_.top));
            }
        }
    } else {
        // A device surface cannot be read back: a page starts white.
        std::memset(tempSo_->pvBits, 0xFF, tempSo_->cjBits);
    }
    return true;
}

BOOL DrawTarget::Close() {
    if (tempSo_ == nullptr) return TRUE;
    CLIPOBJ* clip = pco_;
    CLIPOBJ* made = nullptr;
    if (clip == nullptr) {
        // Drivers are given a clip object even when nothing clips.
        made = EngCreateClip();
        if (made == nullptr) return FALSE;
        made->rclBounds = bounds_;
        clip = made;
    }
    RECTL dest = bounds_;
    POINTL origin{0, 0};
    ++t_callbackDepth;
    const BOOL result =
        FunctionCast<PFN_DrvCopyBits>(copyBits_)(dst_, tempSo_, clip, nullptr, &dest, &origin);
    --t_callbackDepth;
    if (made != nullptr) EngDeleteClip(made);
    return result;
}

}  // namespace xlplatform::engine
