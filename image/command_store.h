// The command store of the two-pass page. With pre-analysis on, every page is
// seen twice: in the recording pass the image hooks only describe their calls
// to the device's store, which merges the pieces of one picture (delivered band
// by band) into one record; in the rendering pass each piece asks the store
// whether it belongs to a larger picture and whether it is the last piece.
//
// FIXME: the command store is not built yet. Until it is, no store is ever
// made (CreateCommandStore answers null, so state.commandStore stays null and
// the lifecycle calls are never reached with a store), nothing is recorded and
// no call is a piece of a larger picture: every picture is drawn as it comes,
// which is exactly what a document without pre-analysis gets.
#pragma once

#include <cstdint>

#include <winddi.h>

#include "settings/device/device_state.h"

namespace xlr {

// Kind codes of the image hooks, as the command store keeps them.
enum class BlitKind : uint8_t { BitBlt = 0, StretchBlt = 1, StretchBltROP = 2, CopyBits = 3 };

// A record of the command store: one picture, merged from its pieces.
struct CommandRecord;

// The store of one device, for one document; owned by state.commandStore.
// Made when a document starts with pre-analysis on; null when it cannot be.
CCmdStore* CreateCommandStore(PDEVOBJ device, PluginDeviceState* state);
void DestroyCommandStore(CCmdStore* store);  // null is allowed

// A device reset hands the store to the new device's state.
void CommandStoreMoveTo(CCmdStore* store, PDEVOBJ device, PluginDeviceState* state);

// The start of a recording pass: the page's records are dropped.
void CommandStoreResetForPage(CCmdStore* store);
// The end of a rendering pass: the page's records are released.
void CommandStoreReleasePage(CCmdStore* store);
// The end of a document that ends in a recording pass.
void CommandStoreEndDocument(CCmdStore* store);

// Recording pass: describe a bit-block transfer or copy, or a stretch, to the
// device's command store. False when nothing was recorded.
bool RecordBlt(PluginDeviceState& state, SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask,
               CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* destination, POINTL* sourcePoint,
               POINTL* maskPoint, BRUSHOBJ* brush, POINTL* brushOrigin, ROP4 rop4);
bool RecordStretch(PluginDeviceState& state, SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask,
                   CLIPOBJ* clip, XLATEOBJ* xlate, COLORADJUSTMENT* colorAdjustment,
                   POINTL* halftoneOrigin, RECTL* destination, RECTL* sourceRect, POINTL* maskPoint,
                   ULONG mode, BRUSHOBJ* brush, DWORD rop4);

// Rendering pass: the record of the picture this call is a piece of, or null.
CommandRecord* FindPiece(PluginDeviceState& state, BlitKind kind, const RECTL& destination,
                         ULONG sourceFormat);
bool IsMarkedForEnhancement(const CommandRecord& record);
bool IsLastPiece(const CommandRecord& record);
RECTL SavedClipBounds(const CommandRecord& record);
RECTL MergedDestination(const CommandRecord& record);

}  // namespace xlr
