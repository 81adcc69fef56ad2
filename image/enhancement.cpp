// FIXME: stand-ins until the image slice and the enhancement are built: no
// piece is collected and the picture is drawn as it was collected.
#include "image/enhancement.h"

namespace xlr {

bool SliceCreate(PluginDeviceState&, SURFOBJ*, const RECTL&, BlitKind) {
    return false;
}
bool SliceAppend(PluginDeviceState&, SURFOBJ*, const RECTL&, BlitKind) {
    return false;
}
bool SliceBuild(PluginDeviceState&, SURFOBJ*, SURFOBJ** built) {
    if (built != nullptr) *built = nullptr;
    return false;
}
void SliceRelease(PluginDeviceState& state) {
    state.imageSlice = nullptr;
}

HRESULT DIBEnhance(PluginDeviceState&, CommandRecord&, SURFOBJ* collected, const RECTL&,
                   SURFOBJ** toDraw, int16_t) {
    if (collected == nullptr || toDraw == nullptr) return E_FAIL;
    *toDraw = collected;
    return S_OK;
}

}  // namespace xlr
