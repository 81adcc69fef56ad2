// DrvQueryDeviceSupport: whether an image may reach the plug-in still
// compressed. The plug-in never takes JPEG this way.
#include "frame/hooks.h"

namespace xlr {

BOOL DrvQueryDeviceSupport(SURFOBJ*, XLATEOBJ*, XFORMOBJ*, ULONG iType, ULONG, PVOID, ULONG, PVOID) {
    if ((iType & QDS_CHECKPNGFORMAT) == 0) return FALSE;
    // FIXME: the PNG check arrives with the image path; until then no PNG is taken.
    return FALSE;
}

}  // namespace xlr
