// The holder of a decoded JPEG or PNG source: the pixel buffer, its size, the
// bitmap made over it and the locked 24-bit surface. One image at a time; a new
// one replaces the old, and the holder releases what it holds when it goes.
#pragma once

#include <cstddef>

#include <winddi.h>

namespace xlr {

struct DecodedImage {
    DecodedImage() = default;
    ~DecodedImage();
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    BYTE* pixels = nullptr;  // malloc'd by the decoder; null when the engine allocated the bits
    size_t size = 0;
    HBITMAP bitmap = nullptr;
    SURFOBJ* surface = nullptr;
};

// Unlocks the surface, deletes the bitmap, frees the buffer and forgets them.
void ReleaseDecoded(DecodedImage& holder);

// Replaces what the holder keeps with a bottom-up 24-bit bitmap of the size and
// row stride over `pixels` (taken over: freed on failure too), associated with
// `device` when there is one, and locked. False when any step fails; the holder
// is then empty.
bool HoldBottomUpBitmap(DecodedImage& holder, BYTE* pixels, size_t size, LONG width, LONG height,
                        LONG stride, HDEV device);

// The largest decoded bitmap: the engine's limit on a bitmap's byte size.
constexpr size_t kMaxDecodedBytes = 0x7FFFFFFF;

// Stretches the held surface to the size `source` declares (nearest pixel,
// COLORONCOLOR) into a new bottom-up 24-bit bitmap, which replaces it in the
// holder and in *decoded. On failure both are released, the holder is empty,
// *decoded is null and the result is false.
bool ResizeDecoded(DecodedImage& holder, const SURFOBJ* source, SURFOBJ** decoded);

}  // namespace xlr
