// FIXME: stand-ins until the command store is built: no store is made and
// nothing is recorded, so no call is a piece of a larger picture.
#include "image/command_store.h"

namespace xlr {

struct CommandRecord {
    RECTL destination;
    RECTL clipBounds;
    bool enhance;
    bool lastPiece;
};

CCmdStore* CreateCommandStore(PDEVOBJ, PluginDeviceState*) {
    return nullptr;
}
void DestroyCommandStore(CCmdStore*) {}
void CommandStoreMoveTo(CCmdStore*, PDEVOBJ, PluginDeviceState*) {}
void CommandStoreResetForPage(CCmdStore*) {}
void CommandStoreReleasePage(CCmdStore*) {}
void CommandStoreEndDocument(CCmdStore*) {}

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

}  // namespace xlr
