// Where the blit hooks meet the two-pass page: the command store that records
// image calls in the analysis pass and tells, in the rendering pass, whether a
// call is a piece of a larger picture; the image slice that collects the pieces;
// and the enhancement of the collected picture.
//
// FIXME: the command store, the image slice and the enhancement are not built
// yet. Until they are, nothing is recorded, no call is a piece of a larger
// picture and every picture is drawn as it comes, which is exactly what a
// document without pre-analysis gets.
#pragma once

#include <cstdint>

#include <winddi.h>

#include "settings/device/device_state.h"

namespace xlr {

// Kind codes of the image hooks, as the command store keeps them.
enum class BlitKind : uint8_t { BitBlt = 0, StretchBlt = 1, StretchBltROP = 2, CopyBits = 3 };

// A record of the command store: one picture, merged from its pieces.
struct CommandRecord;

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

// The device's image slice (state.imageSlice): start it with a first piece, add
// a piece, build the collected picture as a surface, and release it.
bool SliceCreate(PluginDeviceState& state, SURFOBJ* source, const RECTL& destination,
                 BlitKind kind);
bool SliceAppend(PluginDeviceState& state, SURFOBJ* source, const RECTL& destination,
                 BlitKind kind);
bool SliceBuild(PluginDeviceState& state, SURFOBJ* source, SURFOBJ** built);
void SliceRelease(PluginDeviceState& state);

// Enhances a collected picture; *toDraw is the surface to draw (the enhanced
// one, or `collected` unchanged). S_OK on every outcome that leaves a surface.
HRESULT DIBEnhance(PluginDeviceState& state, CommandRecord& record, SURFOBJ* collected,
                   const RECTL& rect, SURFOBJ** toDraw, int16_t scalePercent);

}  // namespace xlr
