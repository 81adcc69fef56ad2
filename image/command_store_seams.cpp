// FIXME: stand-ins until the command store, the image slice and the
// enhancement are built: nothing is recorded and no call is a piece.
#include "image/command_store_seams.h"

namespace xlr {

struct CommandRecord {
    RECTL destination;
    RECTL clipBounds;
    bool enhance;
    bool lastPiece;
};

bool RecordBlt(PluginDeviceState&, SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*,
               POINTL*, POINTL*, BRUSHOBJ*, POINTL*, ROP4) {
    return false;
}

bool RecordStretch(PluginDeviceState&, SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*,
                   COLORADJUSTMENT*, POINTL*, RECTL*, RECTL*, POINTL*, ULONG, BRUSHOBJ*, DWORD) {
    return false;
}

CommandRecord* FindPiece(PluginDeviceState&, BlitKind, const RECTL&, ULONG) {
    return nullptr;
}

bool IsMarkedForEnhancement(const CommandRecord& record) {
    return record.enhance;
}
bool IsLastPiece(const CommandRecord& record) {
    return record.lastPiece;
}
RECTL SavedClipBounds(const CommandRecord& record) {
    return record.clipBounds;
}
RECTL MergedDestination(const CommandRecord& record) {
    return record.destination;
}

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
