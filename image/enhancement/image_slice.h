// The image slice: the pieces of one picture, collected in the output pass
// from its first piece to the piece that completes it, then built into one
// surface that is enhanced and drawn whole. Pieces are stacked (same left and
// right) or side by side (same top and bottom); a gap between a piece and the
// slice is filled with the piece's first rows or columns, and an overlap is
// taken from the slice, not again from the piece.
#pragma once

#include <vector>

#include <winddi.h>

#include "image/enhancement/command_record.h"
#include "image/temp_surface.h"
#include "settings/device/device_state.h"

namespace xlr {

struct ImageSlice {
    ULONG format = 0;  // of every piece: 8, 16, 24 or 32 bits per pixel
    LONG width = 0;    // pixels
    LONG height = 0;   // rows
    ULONG stride = 0;  // bytes per row, padded to 32-bit words
    RECTL destination{};
    // The clip bounds of the calls that delivered the pieces, together: the
    // whole picture is drawn within them, so that pieces held back from
    // earlier bands still show, and no more.
    RECTL clipBounds{};
    bool bottomUp = false;  // as the first piece was; the built surface is too
    BlitKind kind = BlitKind::BitBlt;
    std::vector<BYTE> rows;  // the top row first
    TempSurface built;
    // The picture the pieces belong to. Once they complete it, the surface
    // drawn (the built one, or the enhancement's output) stays for the rest of
    // the page, so that the picture's pieces delivered again in later bands
    // draw it whole again within their own band; `drawnClip` is where it was
    // drawn last.
    const CommandRecord* record = nullptr;
    SURFOBJ* toDraw = nullptr;
    RECTL drawnClip{};
};

// The device's slice (state.imageSlice) starts with a first piece. False when
// the piece cannot be read (a format other than 8 to 32 bits per pixel, bits
// that do not hold its rows) or its copy cannot be had.
bool SliceCreate(PluginDeviceState& state, SURFOBJ* source, const RECTL& destination, BlitKind kind,
                 const CLIPOBJ* clip = nullptr);

// Adds a piece: as SliceCreate without a slice. The piece's rows (or columns)
// scale from its destination as its source height does. A piece of another
// format or size, or neither stacked under nor beside the slice, leaves the
// slice as it is. False when the piece cannot be read or memory runs out.
bool SliceAppend(PluginDeviceState& state, SURFOBJ* source, const RECTL& destination, BlitKind kind,
                 const CLIPOBJ* clip = nullptr);

// Whether the pieces collected so far cover the whole picture of `record`:
// then the last one completes it, and its last-piece flag is set (else
// cleared). Pieces delivered again in a later band, or overlapping, cover
// nothing new.
bool SliceCompletes(const PluginDeviceState& state, CommandRecord& record);

// The clip bounds to draw the collected picture within (see clipBounds).
RECTL SliceClipBounds(const PluginDeviceState& state);

// Builds the collected picture as a surface of the source's device, kept by
// the slice; *built is null on failure.
bool SliceBuild(PluginDeviceState& state, SURFOBJ* source, SURFOBJ** built);

// Ends the slice: its surfaces and pixels go, state.imageSlice is cleared. The
// slice lives until another picture's first piece, the end of the page, or a
// page without pre-analysis.
void SliceRelease(PluginDeviceState& state);

}  // namespace xlr
