#include "image/decoded_image.h"

#include <cstdlib>

#include "image/dib_stride.h"

namespace xlr {
namespace {

// A locked surface made from a bitmap, or null with the bitmap deleted.
SURFOBJ* AssociateAndLock(HBITMAP bitmap, HDEV device) {
    HSURF surface = reinterpret_cast<HSURF>(bitmap);
    // A source that no device owns leaves the decoded bitmap the engine's own.
    if (device != nullptr && !EngAssociateSurface(surface, device, 0)) {
        EngDeleteSurface(surface);
        return nullptr;
    }
    SURFOBJ* locked = EngLockSurface(surface);
    if (locked == nullptr) EngDeleteSurface(surface);
    return locked;
}

}  // namespace

DecodedImage::~DecodedImage() {
    ReleaseDecoded(*this);
}

void ReleaseDecoded(DecodedImage& holder) {
    if (holder.surface != nullptr) EngUnlockSurface(holder.surface);
    if (holder.bitmap != nullptr) EngDeleteSurface(reinterpret_cast<HSURF>(holder.bitmap));
    std::free(holder.pixels);
    holder.pixels = nullptr;
    holder.size = 0;
    holder.bitmap = nullptr;
    holder.surface = nullptr;
}

bool HoldBottomUpBitmap(DecodedImage& holder, BYTE* pixels, size_t size, LONG width, LONG height,
                        LONG stride, HDEV device) {
    ReleaseDecoded(holder);
    HBITMAP bitmap = EngCreateBitmap(SIZEL{width, height}, stride, BMF_24BPP, 0, pixels);
    SURFOBJ* surface = bitmap != nullptr ? AssociateAndLock(bitmap, device) : nullptr;
    if (surface == nullptr) {
        std::free(pixels);
        return false;
    }
    holder.pixels = pixels;
    holder.size = size;
    holder.bitmap = bitmap;
    holder.surface = surface;
    return true;
}

bool ResizeDecoded(DecodedImage& holder, const SURFOBJ* source, SURFOBJ** decoded) {
    const auto fail = [&] {
        ReleaseDecoded(holder);
        if (decoded != nullptr) *decoded = nullptr;
        return false;
    };
    if (holder.surface == nullptr || source == nullptr || decoded == nullptr) return fail();
    const SIZEL size = source->sizlBitmap;
    const ULONG stride = DibStride(BMF_24BPP, size.cx);
    if (size.cx <= 0 || size.cy <= 0 || stride == 0 ||
        uint64_t{stride} * static_cast<uint64_t>(size.cy) > kMaxDecodedBytes)
        return fail();
    HBITMAP bitmap =
        EngCreateBitmap(size, static_cast<LONG>(stride), BMF_24BPP, BMF_NOZEROINIT, nullptr);
    SURFOBJ* resized = bitmap != nullptr ? AssociateAndLock(bitmap, source->hdev) : nullptr;
    if (resized == nullptr) return fail();

    // The whole new surface is the clip; the colours pass unchanged.
    CLIPOBJ* clip = EngCreateClip();
    XLATEOBJ trivial{};
    trivial.flXlate = XO_TRIVIAL;
    RECTL to{0, 0, size.cx, size.cy};
    RECTL from{0, 0, holder.surface->sizlBitmap.cx, holder.surface->sizlBitmap.cy};
    BOOL stretched = FALSE;
    if (clip != nullptr) {
        clip->iDComplexity = DC_RECT;
        clip->iFComplexity = FC_RECT;
        clip->iMode = TC_RECTANGLES;
        clip->rclBounds = to;
        stretched = EngStretchBlt(resized, holder.surface, nullptr, clip, &trivial, nullptr,
                                  nullptr, &to, &from, nullptr, COLORONCOLOR);
        EngDeleteClip(clip);
    }
    if (!stretched) {
        EngUnlockSurface(resized);
        EngDeleteSurface(reinterpret_cast<HSURF>(bitmap));
        return fail();
    }
    ReleaseDecoded(holder);
    holder.size = resized->cjBits;
    holder.bitmap = bitmap;
    holder.surface = resized;
    *decoded = resized;
    return true;
}

}  // namespace xlr
