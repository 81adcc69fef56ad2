// The image slice: the pieces of one picture, collected in the output pass
// from its first piece to the piece that completes it, then built into one
// surface that is enhanced and drawn whole. Pieces are stacked (same left and
// right) or side by side (same top and bottom); a gap between a piece and the
// slice is filled with the piece's first rows or columns, and an overlap is
// taken from the slice, not again from the piece.
#pragma once

#include <memory>
#include <vector>

#include <winddi.h>

#include "image/enhancement/command_record.h"
#include "image/enhancement/dib_processor.h"
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
    // drawn (the built one, or the enhanced picture) stays while parts of the
    // picture may still be to draw: its pieces delivered again in later bands
    // draw it whole again within their own band. `drawnBounds` is where it has
    // been drawn so far.
    const CommandRecord* record = nullptr;
    EnhancedPicture enhanced;
    SURFOBJ* toDraw = nullptr;
    RECTL drawnBounds{};
    // The device's next slice: pictures whose pieces interleave on a page
    // are collected side by side.
    std::unique_ptr<ImageSlice> next;
};

// The slice collecting the picture of `record` on the device, or null.
ImageSlice* FindSlice(const PluginDeviceState& state, const CommandRecord* record);

// Starts a slice with a first piece and adds it to the device's slices
// (state.imageSlice is the newest). Null when the piece cannot be read (a
// format other than 8 to 32 bits per pixel, bits that do not hold its rows)
// or its copy cannot be had.
ImageSlice* SliceCreate(PluginDeviceState& state, SURFOBJ* source, const RECTL& destination,
                        BlitKind kind, const CLIPOBJ* clip = nullptr);

// Adds a piece. The piece's rows (or columns) scale from its destination as
// its source height does. A piece of another format or size, or neither
// stacked under nor beside the slice, leaves the slice as it is. False when
// the piece cannot be read or memory runs out.
bool SliceAppend(ImageSlice& slice, SURFOBJ* source, const RECTL& destination,
                 const CLIPOBJ* clip = nullptr);

// Whether the pieces collected so far cover the whole picture of `record`:
// then the last one completes it, and its last-piece flag is set (else
// cleared). Pieces delivered again in a later band, or overlapping, cover
// nothing new.
bool SliceCompletes(const ImageSlice& slice, CommandRecord& record);

// Builds the collected picture as a surface of the source's device, kept by
// the slice; *built is null on failure.
bool SliceBuild(ImageSlice& slice, SURFOBJ* source, SURFOBJ** built);

// Ends one slice of the device: its surfaces and pixels go. A slice lives
// until its picture has been drawn over the whole of its destination, the end
// of the page, or a page without pre-analysis.
void SliceRelease(PluginDeviceState& state, const ImageSlice* slice);
// Ends all of the device's slices; state.imageSlice is cleared.
void SliceRelease(PluginDeviceState& state);

}  // namespace xlr
