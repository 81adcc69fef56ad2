// The outside image-enhancement library as the plug-in reaches it: four entry
// points exported by name, and the library object whose first word points to
// its table of methods, each called with the object first. The blocks start
// with their own size.
#pragma once

#include <cstddef>

#include <windows.h>

namespace xlr {

// A picture's geometry: 24 bytes, all 32-bit.
struct MHImageDesc {
    DWORD size;  // 24
    DWORD width;
    DWORD height;
    DWORD bitsPerPixel;  // 1, 4, 8, 16, 24 or 32
    DWORD imageSize;     // bytes
    DWORD stride;        // bytes per row; 0: derived from the width
};
static_assert(sizeof(MHImageDesc) == 24);

// What the library is asked to do: 44 bytes.
struct MHParams {
    DWORD size;         // 44
    DWORD deviceValue;  // the device's resolution
    DWORD scaledValue;  // the picture's own resolution on paper
    DWORD mode;
    LONG contrast;
    LONG digitalFlash;
    LONG sharpness;
    LONG smoothing;
    LONG smartFocus;
    BYTE flags[4];  // 1, 1, 0, red-eye reduction
    DWORD reserved;
};
static_assert(sizeof(MHParams) == 44);
static_assert(offsetof(MHParams, contrast) == 16);
static_assert(offsetof(MHParams, flags) == 36);

struct MHApi;

using PFN_MHSetImage = DWORD(WINAPI*)(MHApi* self, BYTE* pixels, const MHImageDesc* image,
                                      const MHParams* params);
using PFN_MHGetOutputSize = DWORD(WINAPI*)(MHApi* self, const RECTL* rect, const MHImageDesc* image,
                                           DWORD* notRead, MHImageDesc* output);
using PFN_MHEnhanceRect = DWORD(WINAPI*)(MHApi* self, const RECTL* rect, const MHImageDesc* image,
                                         BYTE* pixels, MHImageDesc* output);

// The methods in slot order; the plug-in calls slots 1, 3 and 4 only.
struct MHApiMethods {
    PVOID slot0;
    PFN_MHSetImage SetImage;
    PVOID slot2;
    PFN_MHGetOutputSize GetOutputSize;
    PFN_MHEnhanceRect EnhanceRect;
};

struct MHApi {
    const MHApiMethods* methods;
};

// Answers of the methods.
constexpr DWORD kMHFailure = 0xFFFFFFFF;
constexpr DWORD kMHNothingToChange = 1;  // GetOutputSize: the picture stays as it is

// The exports: the band object (made and destroyed, never used by the plug-in)
// and the library object.
using PFN_CreateMHApi = PVOID(WINAPI*)();
using PFN_DestroyMHApi = void(WINAPI*)(PVOID bandApi);
using PFN_MHApiCreate = MHApi*(WINAPI*)();
using PFN_MHApiDestroy = void(WINAPI*)(MHApi* api);

struct MHEntryPoints {
    PFN_CreateMHApi createMHApi = nullptr;
    PFN_DestroyMHApi destroyMHApi = nullptr;
    PFN_MHApiCreate mhApiCreate = nullptr;
    PFN_MHApiDestroy mhApiDestroy = nullptr;

    bool Complete() const {
        return createMHApi != nullptr && destroyMHApi != nullptr && mhApiCreate != nullptr &&
               mhApiDestroy != nullptr;
    }
};

}  // namespace xlr
