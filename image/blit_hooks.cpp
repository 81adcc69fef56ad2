// DrvBitBlt, DrvStretchBlt, DrvStretchBltROP and DrvCopyBits: the image hooks
// that may draw by themselves. Each call is, in this order, only recorded (the
// analysis pass of a two-pass page), decoded from JPEG or PNG, collected with
// the other pieces of its picture and enhanced, sent as a JPEG image by the
// image sender, or handed to Unidrv's own function or the engine's generic one.
#include <algorithm>
#include <optional>

#include "image/blit_hooks.h"
#include "settings/device/device_state.h"
#include "image/enhancement/command_store.h"
#include "image/enhancement/dib_processor.h"
#include "image/enhancement/image_slice.h"
#include "image/decoded_image.h"
#include "image/image_sender.h"
#include "image/jpeg_source.h"
#include "image/photo_content.h"
#include "image/png_source.h"
#include "image/sender_gate.h"
#include "settings/packed_block.h"

namespace xlr {
namespace {

// The rectangles that must be well ordered before the sender is tried.
enum class TestedRects : uint8_t { Destination, DestinationAndSource, None };
// The source rectangle once a collected picture was enhanced: the collected
// surface's, or one the size of the surface the enhancement left.
enum class SourceAfterEnhancement : uint8_t { Collected, Enhanced };

struct HookRules {
    BlitKind kind;
    bool recordsWithoutSource;  // in the analysis pass
    bool needsSettings;         // without a settings record: Unidrv's function at once
    SourceAfterEnhancement sourceAfterEnhancement;
    TestedRects testedRects;
};

constexpr HookRules kBitBltRules{BlitKind::BitBlt, true, false, SourceAfterEnhancement::Collected,
                                 TestedRects::Destination};
constexpr HookRules kStretchBltRules{BlitKind::StretchBlt, false, true,
                                     SourceAfterEnhancement::Enhanced,
                                     TestedRects::DestinationAndSource};
constexpr HookRules kStretchBltROPRules{BlitKind::StretchBltROP, true, true,
                                        SourceAfterEnhancement::Enhanced, TestedRects::None};
constexpr HookRules kCopyBitsRules{BlitKind::CopyBits, true, true,
                                   SourceAfterEnhancement::Collected,
                                   TestedRects::DestinationAndSource};

// The settings value handed to the enhancement when DrvBitBlt has no settings
// record: 100 %, which leaves the device value as it is.
constexpr int16_t kNeutralScale = 100;

// The arguments of any of the four hooks; those a hook does not have are null.
struct BlitCall {
    SURFOBJ* target = nullptr;
    SURFOBJ* source = nullptr;
    SURFOBJ* mask = nullptr;
    CLIPOBJ* clip = nullptr;
    XLATEOBJ* xlate = nullptr;
    COLORADJUSTMENT* colorAdjustment = nullptr;
    POINTL* halftoneOrigin = nullptr;
    RECTL* destination = nullptr;
    RECTL* sourceRect = nullptr;    // the stretch hooks
    POINTL* sourcePoint = nullptr;  // DrvBitBlt and DrvCopyBits
    POINTL* maskPoint = nullptr;
    ULONG mode = 0;
    BRUSHOBJ* brush = nullptr;
    POINTL* brushOrigin = nullptr;
    ROP4 rop4 = 0;
};

bool IsStretch(BlitKind kind) {
    return kind == BlitKind::StretchBlt || kind == BlitKind::StretchBltROP;
}

BOOL CallUnidrv(const PluginDeviceState& state, BlitKind kind, const BlitCall& c) {
    switch (kind) {
        case BlitKind::BitBlt:
            if (auto unidrv = UnidrvHook<PFN_DrvBitBlt>(state, kSlotBitBlt))
                return unidrv(c.target, c.source, c.mask, c.clip, c.xlate, c.destination,
                              c.sourcePoint, c.maskPoint, c.brush, c.brushOrigin, c.rop4);
            break;
        case BlitKind::StretchBlt:
            if (auto unidrv = UnidrvHook<PFN_DrvStretchBlt>(state, kSlotStretchBlt))
                return unidrv(c.target, c.source, c.mask, c.clip, c.xlate, c.colorAdjustment,
                              c.halftoneOrigin, c.destination, c.sourceRect, c.maskPoint, c.mode);
            break;
        case BlitKind::StretchBltROP:
            if (auto unidrv = UnidrvHook<PFN_DrvStretchBltROP>(state, kSlotStretchBltROP))
                return unidrv(c.target, c.source, c.mask, c.clip, c.xlate, c.colorAdjustment,
                              c.halftoneOrigin, c.destination, c.sourceRect, c.maskPoint, c.mode,
                              c.brush, c.rop4);
            break;
        case BlitKind::CopyBits:
            if (auto unidrv = UnidrvHook<PFN_DrvCopyBits>(state, kSlotCopyBits))
                return unidrv(c.target, c.source, c.clip, c.xlate, c.destination, c.sourcePoint);
            break;
    }
    return FALSE;
}

// The graphics engine's own implementation, which draws through the device's
// DrvCopyBits and so comes back into the plug-in.
BOOL CallEngine(BlitKind kind, const BlitCall& c) {
    switch (kind) {
        case BlitKind::BitBlt:
            return EngBitBlt(c.target, c.source, c.mask, c.clip, c.xlate, c.destination,
                             c.sourcePoint, c.maskPoint, c.brush, c.brushOrigin, c.rop4);
        case BlitKind::StretchBlt:
            return EngStretchBlt(c.target, c.source, c.mask, c.clip, c.xlate, c.colorAdjustment,
                                 c.halftoneOrigin, c.destination, c.sourceRect, c.maskPoint,
                                 c.mode);
        case BlitKind::StretchBltROP:
            return EngStretchBltROP(c.target, c.source, c.mask, c.clip, c.xlate, c.colorAdjustment,
                                    c.halftoneOrigin, c.destination, c.sourceRect, c.maskPoint,
                                    c.mode, c.brush, c.rop4);
        case BlitKind::CopyBits:
            return EngCopyBits(c.target, c.source, c.clip, c.xlate, c.destination, c.sourcePoint);
    }
    return FALSE;
}

// DrvStretchBltROP falls back on the engine, which stretches and then hands the
// result to DrvCopyBits; the others on Unidrv.
BOOL FallBack(const PluginDeviceState& state, BlitKind kind, const BlitCall& c) {
    return kind == BlitKind::StretchBltROP ? CallEngine(kind, c) : CallUnidrv(state, kind, c);
}

void Record(PluginDeviceState& state, BlitKind kind, const BlitCall& c) {
    if (IsStretch(kind)) {
        const bool plain = kind == BlitKind::StretchBlt;
        RecordStretch(state, c.target, c.source, c.mask, c.clip, c.xlate, c.colorAdjustment,
                      c.halftoneOrigin, c.destination, c.sourceRect, c.maskPoint, c.mode,
                      plain ? nullptr : c.brush, plain ? 0 : c.rop4);
    } else {
        RecordBlt(state, c.target, c.source, c.mask, c.clip, c.xlate, c.destination, c.sourcePoint,
                  c.maskPoint, c.brush, c.brushOrigin, c.rop4);
    }
}

LONG ClampToLong(int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The source rectangle of the call: the stretch hooks name it; the others read
// from the source point (or 0, 0) as much as the destination covers.
std::optional<RECTL> SourceRectOf(BlitKind kind, const BlitCall& c) {
    if (IsStretch(kind))
        return c.sourceRect != nullptr ? std::optional<RECTL>(*c.sourceRect) : std::nullopt;
    if (c.destination == nullptr) return std::nullopt;
    const POINTL from = c.sourcePoint != nullptr ? *c.sourcePoint : POINTL{0, 0};
    const RECTL& d = *c.destination;
    return RECTL{from.x, from.y, ClampToLong(int64_t{from.x} + d.right - d.left),
                 ClampToLong(int64_t{from.y} + d.bottom - d.top)};
}

bool WellOrdered(const RECTL& r) {
    return r.left <= r.right && r.top <= r.bottom;
}

bool RectsOrdered(TestedRects tested, const RECTL& destination, const RECTL& source) {
    switch (tested) {
        case TestedRects::Destination:
            return WellOrdered(destination);
        case TestedRects::DestinationAndSource:
            return WellOrdered(destination) && WellOrdered(source);
        case TestedRects::None:
            return true;
    }
    return true;
}

// What the sender is given in place of the call's ROP4 and brush.
ROP4 SenderRop(BlitKind kind, const BlitCall& c) {
    switch (kind) {
        case BlitKind::StretchBlt:
            return 0xCCCC;
        case BlitKind::CopyBits:
            return 0xCC;
        default:
            return c.rop4;
    }
}

bool IsCompressed(const SURFOBJ* source) {
    return source->iBitmapFormat == BMF_JPEG || source->iBitmapFormat == BMF_PNG;
}

bool DecodeCompressed(DecodedImage& holder, SURFOBJ* source, SURFOBJ** decoded) {
    return source->iBitmapFormat == BMF_JPEG ? DecodeJpeg(holder, source, decoded)
                                             : DecodePng(holder, source, decoded);
}

BOOL RunBlit(const HookRules& rules, BlitCall call) {
    if (call.target == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    const PDEVOBJ device = DeviceOfSurface(call.target);
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr) return FALSE;
    const UnpackedSettings settings(device->pOEMDM);
    if (!settings && rules.needsSettings) return CallUnidrv(*state, rules.kind, call);

    if (state->suppressOutput != 0) {
        if (call.source != nullptr || rules.recordsWithoutSource) Record(*state, rules.kind, call);
        return TRUE;
    }

    // Decoded and collected sources live until the call returns.
    struct ReleaseWhenReturning {
        PluginDeviceState& state;
        const ImageSlice* slice = nullptr;
        ~ReleaseWhenReturning() { SliceRelease(state, slice); }
    } drawnWhole{*state};
    DecodedImage decoded;
    RECTL mergedDestination{};
    RECTL collectedRect{};
    POINTL collectedOrigin{0, 0};
    bool collected = false;
    if (state->preAnalysis != 0 && call.source != nullptr) {
        if (IsCompressed(call.source)) {
            SURFOBJ* surface = nullptr;
            if (!DecodeCompressed(decoded, call.source, &surface)) return FALSE;
            call.source = surface;
        }
        CommandRecord* record =
            call.destination != nullptr
                ? FindPiece(*state, rules.kind, *call.destination, call.source->iBitmapFormat)
                : nullptr;
        if (record != nullptr && IsMarkedForEnhancement(*record)) {
            ImageSlice* slice = FindSlice(*state, record);
            if (slice != nullptr && slice->toDraw != nullptr) {
                // A piece of a picture drawn whole already, delivered again in a
                // later band: the whole picture again, within this band.
                if (call.clip == nullptr || Contains(slice->drawnBounds, call.clip->rclBounds))
                    return TRUE;
                slice->drawnBounds = UnionOf(slice->drawnBounds, call.clip->rclBounds);
            } else {
                if (slice == nullptr) {
                    slice =
                        SliceCreate(*state, call.source, *call.destination, rules.kind, call.clip);
                    if (slice == nullptr) return FALSE;
                    slice->record = record;
                } else if (!SliceAppend(*slice, call.source, *call.destination, call.clip)) {
                    return FALSE;
                }
                // The piece waits in the slice until the pieces cover the picture.
                if (!SliceCompletes(*slice, *record)) return FALSE;
                SURFOBJ* picture = nullptr;
                if (!SliceBuild(*slice, call.source, &picture) || picture == nullptr) return FALSE;
                const RECTL whole{0, 0, picture->sizlBitmap.cx, picture->sizlBitmap.cy};
                SURFOBJ* toDraw = picture;
                DIBEnhance(*state, *record, picture, whole, &toDraw,
                           settings ? settings->scale : kNeutralScale);
                // The enhanced picture is the slice's own, so that enhancing
                // another picture of the page leaves it.
                if (toDraw != picture) slice->enhanced = TakeEnhancedOutput(*state);
                slice->toDraw = toDraw != picture && slice->enhanced.surface
                                    ? slice->enhanced.surface.get()
                                    : picture;
                // The whole picture shows within the clips of the calls that
                // brought its pieces (earlier bands' too), and no further.
                if (call.clip != nullptr) {
                    call.clip->rclBounds = slice->clipBounds;
                    slice->drawnBounds = slice->clipBounds;
                }
            }
            // Drawn over all of its destination, the picture needs its slice no
            // more; the slice goes when this call ends.
            if (call.clip == nullptr || Contains(slice->drawnBounds, record->destination))
                drawnWhole.slice = slice;
            mergedDestination = MergedDestination(*record);
            call.destination = &mergedDestination;
            call.source = slice->toDraw;
            const SURFOBJ* built = slice->built.get();
            collectedRect = RECTL{0, 0, built->sizlBitmap.cx, built->sizlBitmap.cy};
            if (rules.sourceAfterEnhancement == SourceAfterEnhancement::Enhanced) {
                collectedRect.right = call.source->sizlBitmap.cx;
                collectedRect.bottom = call.source->sizlBitmap.cy;
            }
            // The collected picture is drawn whole, from its own corner.
            if (IsStretch(rules.kind))
                call.sourceRect = &collectedRect;
            else
                call.sourcePoint = &collectedOrigin;
            collected = true;
        }
    } else if (state->preAnalysis == 0) {
        if (call.source != nullptr && call.source->iBitmapFormat == BMF_PNG) {
            SURFOBJ* surface = nullptr;
            if (!DecodePng(decoded, call.source, &surface)) return FALSE;
            call.source = surface;
        }
        if (state->imageSlice != nullptr) SliceRelease(*state);
    }

    const std::optional<RECTL> sourceRect =
        collected ? std::optional<RECTL>(collectedRect) : SourceRectOf(rules.kind, call);
    if (call.source != nullptr && settings && call.destination != nullptr && sourceRect) {
        if (RectsOrdered(rules.testedRects, *call.destination, *sourceRect)) {
            if (SenderAllowed(*state, *settings, device) &&
                IsPhotoContent(call.source, *sourceRect)) {
                if (state->skipSenderOnce != 0) {
                    // This call comes from the engine's own implementation that a
                    // hook just handed an image to: it goes to Unidrv.
                } else {
                    const bool withBrush =
                        rules.kind == BlitKind::BitBlt || rules.kind == BlitKind::StretchBltROP;
                    const uint32_t sent =
                        SendImage(device, call.source, call.clip, call.xlate,
                                  withBrush ? call.brush : nullptr,
                                  rules.kind == BlitKind::BitBlt ? call.brushOrigin : nullptr,
                                  &*sourceRect, call.destination, SenderRop(rules.kind, call));
                    if (sent == kSendHandled) return TRUE;
                    state->skipSenderOnce = 0;
                }
            }
        } else {
            // Mirrored rectangles: older systems left them to the engine's own
            // implementation, whose result comes back through DrvCopyBits.
            OSVERSIONINFOW version{};
            version.dwOSVersionInfoSize = sizeof version;
            if (!GetVersionExW(&version)) return FALSE;
            if (version.dwMajorVersion < 6) {
                const SenderSkipped skipped(*state);
                return CallEngine(rules.kind, call);
            }
        }
    }
    return FallBack(*state, rules.kind, call);
}

}  // namespace

BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
               RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
               ROP4 rop4) {
    BlitCall call;
    call.target = psoTrg;
    call.source = psoSrc;
    call.mask = psoMask;
    call.clip = pco;
    call.xlate = pxlo;
    call.destination = prclTrg;
    call.sourcePoint = pptlSrc;
    call.maskPoint = pptlMask;
    call.brush = pbo;
    call.brushOrigin = pptlBrush;
    call.rop4 = rop4;
    return RunBlit(kBitBltRules, call);
}

BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                   XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest,
                   RECTL* prclSrc, POINTL* pptlMask, ULONG iMode) {
    BlitCall call;
    call.target = psoDest;
    call.source = psoSrc;
    call.mask = psoMask;
    call.clip = pco;
    call.xlate = pxlo;
    call.colorAdjustment = pca;
    call.halftoneOrigin = pptlHTOrg;
    call.destination = prclDest;
    call.sourceRect = prclSrc;
    call.maskPoint = pptlMask;
    call.mode = iMode;
    return RunBlit(kStretchBltRules, call);
}

BOOL DrvStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                      XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest,
                      RECTL* prclSrc, POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4) {
    BlitCall call;
    call.target = psoDest;
    call.source = psoSrc;
    call.mask = psoMask;
    call.clip = pco;
    call.xlate = pxlo;
    call.colorAdjustment = pca;
    call.halftoneOrigin = pptlHTOrg;
    call.destination = prclDest;
    call.sourceRect = prclSrc;
    call.maskPoint = pptlMask;
    call.mode = iMode;
    call.brush = pbo;
    call.rop4 = rop4;
    return RunBlit(kStretchBltROPRules, call);
}

BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                 POINTL* pptlSrc) {
    BlitCall call;
    call.target = psoDest;
    call.source = psoSrc;
    call.clip = pco;
    call.xlate = pxlo;
    call.destination = prclDest;
    call.sourcePoint = pptlSrc;
    return RunBlit(kCopyBitsRules, call);
}

}  // namespace xlr
