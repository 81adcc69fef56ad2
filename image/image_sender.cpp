#include "image/image_sender.h"

#include <cstdlib>
#include <memory>
#include <span>

#include "image/clip_emit.h"
#include "image/jpeg_compress.h"
#include "image/rop_class.h"
#include "pclxl/operators.h"
#include "pclxl/put.h"
#include "pclxl/spool_flush.h"

namespace xlr {
namespace {

// PCL XL enumerations the sender writes.
constexpr uint32_t kClipModeEvenOdd = 1;
constexpr uint32_t kClipRegionInterior = 0;
constexpr uint32_t kTxOpaque = 0;
constexpr uint32_t kTxTransparent = 1;
constexpr uint32_t kColorSpaceRGB = 2;
constexpr uint32_t kDirectPixel = 0;
constexpr uint32_t kColorDepth8Bit = 2;
constexpr uint32_t kJPEGCompression = 2;

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};

bool WellOrderedNonEmpty(const RECTL& r) {
    return r.left < r.right && r.top < r.bottom;
}

// Widths and heights as PCL XL sees them: differences of the low 16 bits of
// the edges, in 16-bit arithmetic.
uint32_t Extent16(LONG low, LONG high) {
    return static_cast<uint16_t>(static_cast<uint16_t>(high) - static_cast<uint16_t>(low));
}

bool EmitClip(XLStream* stream, CLIPOBJ* clip, const RECTL& destination) {
    switch (clip->iDComplexity) {
        case DC_RECT: {
            const RECTL& b = clip->rclBounds;
            XLSetClipMode(stream, kClipModeEvenOdd);
            XLNewPath(stream);
            XLRectanglePath(stream, b.left, b.top, b.right, b.bottom);
            XLSetClipReplace(stream, kClipRegionInterior);
            return true;
        }
        case DC_COMPLEX: {
            XLSetClipMode(stream, kClipModeEvenOdd);
            bool written = true;
            if (clip->iMode == TC_RECTANGLES)
                written = EmitClipRects(clip, destination, stream);
            else if (clip->iMode == TC_PATHOBJ)
                written = EmitClipPath(clip, stream);
            else
                written = false;
            // Without a path of its own the clip would be set from whatever path
            // the graphics state holds: better not to draw the image this way.
            if (!written) return false;
            XLSetClipReplace(stream, kClipRegionInterior);
            return true;
        }
        default:
            XLSetClipToPage(stream);
            return true;
    }
}

// Everything between PushGS and PopGS.
uint32_t DrawInSavedState(XLStream* stream, SURFOBJ* source, CLIPOBJ* clip, const RECTL* sourceRect,
                          const RECTL& destination, ROP4 rop4) {
    if (!EmitClip(stream, clip, destination)) return kSendNotHandled;
    XLSetCursor(stream, destination.left, destination.top);

    // A background ROP3 of 0xA_ keeps the destination wherever the pattern is
    // 1: white source and paint pixels are then transparent.
    const uint8_t background = static_cast<uint8_t>(rop4 >> 8);
    const uint32_t txMode = (background >> 4) == 0xA ? kTxTransparent : kTxOpaque;
    XLSetPaintTxMode(stream, txMode);
    XLSetSourceTxMode(stream, txMode);

    const uint8_t rop3 = static_cast<uint8_t>(rop4);
    XLSetROP(stream, rop3);
    const uint8_t ropClass = kRopClass[rop3];
    if ((ropClass & kRopConstant) != 0) {
        XLSetBrushGray(stream, rop3 == 0x00 ? 0.0f : 1.0f);
        XLSetNullPen(stream);
        XLNewPath(stream);
        XLRectanglePath(stream, destination.left, destination.top, destination.right,
                        destination.bottom);
        XLPaintPath(stream);
    }
    if ((ropClass & kRopUsesPattern) != 0) return kSendNotHandled;
    if ((ropClass & kRopUsesSource) == 0) return kSendHandled;

    if (sourceRect == nullptr) return kSendNotHandled;
    XLSetColorSpace(stream, kColorSpaceRGB);
    // The whole source bitmap's size: the compressed rectangle is smaller in
    // every practical case, and the buffer is allocated once.
    const size_t capacity = source->cjBits;
    std::unique_ptr<uint8_t, FreeDeleter> buffer(
        static_cast<uint8_t*>(std::malloc(capacity == 0 ? 1 : capacity)));
    if (buffer == nullptr) return kSendNotHandled;
    const auto compressed =
        CompressRectToJpeg(std::span<uint8_t>(buffer.get(), capacity), *sourceRect, *source);
    if (!compressed) return kSendNotHandled;

    const RECTL& s = *sourceRect;
    XLBeginImage(stream, kDirectPixel, kColorDepth8Bit, Extent16(s.left, s.right),
                 Extent16(s.top, s.bottom), Extent16(destination.left, destination.right),
                 Extent16(destination.top, destination.bottom));
    // The whole image in one block.
    XLReadImage(stream, 0, Extent16(s.top, s.bottom), kJPEGCompression);
    const auto length = static_cast<uint32_t>(*compressed);
    XLPutDataLength(stream, length);
    XLPutRawBytes(stream, buffer.get(), length);
    XLStreamFlush(stream);
    XLEndImage(stream);
    return kSendHandled;
}

}  // namespace

uint32_t SendImage(PDEVOBJ device, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate,
                   BRUSHOBJ* /*brush*/, POINTL* /*brushOrigin*/, const RECTL* sourceRect,
                   const RECTL* destRect, ROP4 rop4) {
    if (device == nullptr || source == nullptr || clip == nullptr || destRect == nullptr)
        return kSendUnexpected;
    if (source->iBitmapFormat != BMF_24BPP || (xlate != nullptr && xlate->cEntries != 0))
        return kSendNotHandled;
    if (!WellOrderedNonEmpty(*destRect)) return kSendNotHandled;

    XLStream* stream = XLStreamCreate(XLStreamDefaultCapacity(), XLSpoolFlush, 0);
    if (stream == nullptr) return kSendNotHandled;
    stream->owner = device;
    XLPushGS(stream);
    const uint32_t result = DrawInSavedState(stream, source, clip, sourceRect, *destRect, rop4);
    // Every way out restores the graphics state, so that what was set inside
    // it has no lasting effect. Write errors stay inside the stream.
    XLPopGS(stream);
    XLStreamFlush(stream);
    XLStreamDestroy(stream);
    return result;
}

}  // namespace xlr
