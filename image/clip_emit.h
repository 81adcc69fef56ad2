// A complex clip region written as a PCL XL path into an open stream, ready
// for SetClipReplace.
#pragma once

#include <winddi.h>

#include "pclxl/stream.h"

namespace xlr {

// Up to 256 rectangles are written one RectanglePath each after a NewPath and a
// SetCursor to the destination's corner; a region of more rectangles is written
// as its path (EmitClipPath). Empty batches of the enumeration are passed over.
// False when the path was needed and the clip object has none, or when the
// enumeration answers nothing but empty batches.
bool EmitClipRects(CLIPOBJ* clip, const RECTL& destination, XLStream* stream);

// The clip object's path as NewPath, then per figure a SetCursor to its start
// and LinePath or BezierPath records with their points (device pixels, signed
// 16-bit), closed with CloseSubPath where the figure is closed. False when the
// clip object has no path.
bool EmitClipPath(CLIPOBJ* clip, XLStream* stream);

}  // namespace xlr
