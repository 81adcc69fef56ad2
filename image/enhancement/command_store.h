// The command store of the two-pass page. With pre-analysis on, every page is
// seen twice: in the analysis pass the image hooks only describe their calls
// to the device's store, which merges the pieces of one picture (delivered
// band by band) into one record; in the output pass each piece asks the store
// whether it belongs to a larger picture and whether it completes it. One
// store per device, made at the start of a document with pre-analysis on.
#pragma once

#include <memory>

#include <winddi.h>

#include "image/enhancement/command_record.h"
#include "image/enhancement/dib_processor.h"
#include "image/enhancement/record_array.h"
#include "settings/device/device_state.h"

namespace xlr {

class CCmdStore {
  public:
    // Initialises at once (the result is not kept: a store without a usable
    // processor still records, and its pictures are drawn unchanged).
    CCmdStore(PluginDeviceState* state, PDEVOBJ device);
    ~CCmdStore();
    CCmdStore(const CCmdStore&) = delete;
    CCmdStore& operator=(const CCmdStore&) = delete;

    // In the analysis pass, once: loads the library that KXMHDLLName names from
    // the printer driver's directory into the store's processor.
    bool Initialize();
    // A device reset: the store now serves this state and device.
    void MoveTo(PluginDeviceState* state, PDEVOBJ device);

    // The start of an analysis pass: the records of the last page go.
    void ResetForPage();
    // The end of an output pass: the records and the last enhanced picture go.
    bool ReleasePage();

    // The analysis pass: describes a call. False when nothing could be recorded
    // (not the analysis pass, a source that does not decode, no memory).
    bool RecordBlt(SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, const RECTL& destination,
                   const POINTL* maskPoint, BRUSHOBJ* brush, const POINTL* brushOrigin, ROP4 rop4);
    bool RecordStretch(SURFOBJ* source, CLIPOBJ* clip, const RECTL& destination, BRUSHOBJ* brush,
                       DWORD rop4);

    // The output pass: the record of the picture this call is a piece of, or
    // null. Its last-piece flag is set when the picture is drawn piece by
    // piece (it is too small to be enhanced); a picture to be enhanced is
    // collected until its pieces cover it (PieceCompletes).
    CommandRecord* FindPiece(BlitKind kind, const RECTL& destination, ULONG sourceFormat);

    PluginDeviceState* State() const { return m_pState; }
    CDibProcessor* Processor() const { return m_pDibProcessor.get(); }
    const RecordArray& Records() const { return m_records; }

  private:
    bool Record(BlitKind kind, SURFOBJ* source, CLIPOBJ* clip, const RECTL& destination);
    bool BIsFullImage(const RECTL& destination, BlitKind kind, const SURFOBJ* source,
                      const CLIPOBJ* clip);

    PluginDeviceState* m_pState;
    PDEVOBJ m_pDevice;
    std::unique_ptr<CDibProcessor> m_pDibProcessor;
    LONG m_current = 0;
    RecordArray m_records;
};

// The path of the enhancement library: the directory of the printer driver's
// file, a backslash and `name`. Empty when the driver's path cannot be read or
// the result would be longer than kMaxLibraryPath.
std::u16string EnhancementLibraryPath(HANDLE printer, WideStringView name);

// What the hooks and the lifecycle call. None of them throws: each is the
// boundary at which the store's failures end.

// Null when the store cannot be made.
CCmdStore* CreateCommandStore(PDEVOBJ device, PluginDeviceState* state);
void DestroyCommandStore(CCmdStore* store);  // null is allowed
void CommandStoreMoveTo(CCmdStore* store, PDEVOBJ device, PluginDeviceState* state);
void CommandStoreResetForPage(CCmdStore* store);
void CommandStoreReleasePage(CCmdStore* store);
// A document that ends after an analysis pass: its records go.
void CommandStoreEndDocument(CCmdStore* store);

// The analysis pass, to the device's store (state.commandStore).
bool RecordBlt(PluginDeviceState& state, SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask,
               CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* destination, POINTL* sourcePoint,
               POINTL* maskPoint, BRUSHOBJ* brush, POINTL* brushOrigin, ROP4 rop4);
bool RecordStretch(PluginDeviceState& state, SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask,
                   CLIPOBJ* clip, XLATEOBJ* xlate, COLORADJUSTMENT* colorAdjustment,
                   POINTL* halftoneOrigin, RECTL* destination, RECTL* sourceRect, POINTL* maskPoint,
                   ULONG mode, BRUSHOBJ* brush, DWORD rop4);

// The output pass.
CommandRecord* FindPiece(PluginDeviceState& state, BlitKind kind, const RECTL& destination,
                         ULONG sourceFormat);
inline bool IsMarkedForEnhancement(const CommandRecord& record) {
    return record.enhance != 0;
}
inline bool IsLastPiece(const CommandRecord& record) {
    return record.lastPiece != 0;
}
inline RECTL SavedClipBounds(const CommandRecord& record) {
    return record.clip.rclBounds;
}
inline RECTL MergedDestination(const CommandRecord& record) {
    return record.destination;
}

}  // namespace xlr
