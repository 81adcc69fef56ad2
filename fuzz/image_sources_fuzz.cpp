// JPEG and PNG sources as applications hand them to the plug-in's blit hooks:
// a compressed bitmap whose bits are the file, with a declared size that the
// decoders scale or stretch to. The input's first two bytes give the declared
// width and height (1 to 1,021 pixels, in steps of 4), the rest is the file;
// each file goes to both decoders and the PNG check. The decoded surface must
// have the declared size.
#include <cstddef>
#include <cstdint>
#include <span>

#include <winddi.h>
#include <xlplatform/engine.h>
#include <xlplatform/world.h>

#include "image/decoded_image.h"
#include "image/jpeg_source.h"
#include "image/png_source.h"

namespace {

using DecodeFunction = bool (*)(xlr::DecodedImage&, SURFOBJ*, SURFOBJ**);

void Decode(ULONG format, DecodeFunction decode, std::span<const BYTE> file, SIZEL declared) {
    HSURF handle = xlplatform::CreateCompressedSurface(format, file, declared);
    if (handle == nullptr) return;
    SURFOBJ* source = EngLockSurface(handle);
    if (source != nullptr) {
        xlr::DecodedImage holder;
        SURFOBJ* decoded = nullptr;
        if (decode(holder, source, &decoded)) {
            if (decoded == nullptr || decoded->iBitmapFormat != BMF_24BPP ||
                decoded->sizlBitmap.cx != declared.cx || decoded->sizlBitmap.cy != declared.cy)
                __builtin_trap();
        }
        EngUnlockSurface(source);
    }
    EngDeleteSurface(handle);
}

struct World {
    World() { xlplatform::ResetWorld(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world;
    if (size < 2) return 0;
    const SIZEL declared{1 + 4 * LONG{data[0]}, 1 + 4 * LONG{data[1]}};
    const std::span<const BYTE> file(data + 2, size - 2);
    (void)xlr::IsSupportedPng(file.data(), file.size());
    Decode(BMF_JPEG, xlr::DecodeJpeg, file, declared);
    Decode(BMF_PNG, xlr::DecodePng, file, declared);
    return 0;
}
