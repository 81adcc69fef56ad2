// DrvQueryDeviceSupport: whether an image may reach the plug-in still
// compressed. PNG is taken when the plug-in can decode it to an opaque 24-bit
// image; JPEG never is.
#include "frame/hooks.h"
#include "image/png_source.h"

namespace xlr {

BOOL DrvQueryDeviceSupport(SURFOBJ*, XLATEOBJ*, XFORMOBJ*, ULONG iType, ULONG cjIn, PVOID pvIn,
                           ULONG, PVOID) {
    if ((iType & QDS_CHECKPNGFORMAT) == 0) return FALSE;
    return IsSupportedPng(pvIn, cjIn) ? TRUE : FALSE;
}

}  // namespace xlr
