// The enhancement of collected pictures: the image slice that gathers the
// pieces of one picture between its first and its last piece, and the outside
// enhancement library that improves the whole picture before it is drawn.
//
// FIXME: the image slice and the enhancement are not built yet. Until they
// are, no piece is collected (the slice calls fail, which the image hooks never
// reach because no call is a piece of a larger picture) and DIBEnhance hands
// the collected picture back unchanged.
#pragma once

#include <cstdint>

#include <winddi.h>

#include "image/command_store.h"
#include "settings/device/device_state.h"

namespace xlr {

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
