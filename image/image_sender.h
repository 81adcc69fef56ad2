// The image sender: one bit-block transfer with a 24-bit source written as PCL
// XL of the plug-in's own making (saved graphics state, clip, raster operation
// and transfer modes, and the source rectangle as one JPEG-compressed RGB image
// scaled to the destination rectangle).
#pragma once

#include <cstdint>

#include <printoem.h>
#include <winddi.h>

namespace xlr {

// Results of SendImage. Callers treat every result but kSendHandled as "draw
// the call another way".
constexpr uint32_t kSendHandled = 0;
constexpr uint32_t kSendNotHandled = 1;
constexpr uint32_t kSendUnexpected = 0x8000FFFF;  // E_UNEXPECTED: a required input is missing

// Sends the call through the device's spool writer. kSendUnexpected without a
// device, source, clip object or destination; kSendNotHandled, before anything
// is written, for a source that is not BMF_24BPP, a translation with entries or
// a destination that is empty or not well ordered (PCL XL cannot mirror an
// image); kSendNotHandled after a saved graphics state was written and restored
// for a ROP3 that uses the pattern, a clip that cannot be written, or a source
// rectangle that cannot be compressed. The brush and its origin are not used:
// a ROP3 that needs them is not handled.
uint32_t SendImage(PDEVOBJ device, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, BRUSHOBJ* brush,
                   POINTL* brushOrigin, const RECTL* sourceRect, const RECTL* destRect, ROP4 rop4);

}  // namespace xlr
