// The plug-in's flush callback: sends a stream's buffer to the printer through
// Unidrv's spool-write service of the stream's owner device.
#pragma once

#include <cstdint>

#include "pclxl/stream.h"

namespace xlr {

// Writes stream->fill bytes of stream->buffer through the DrvWriteSpoolBuf of
// stream->owner (a DEVOBJ); its own buffer and fill arguments are not used. On
// success empties the buffer; when the spooler takes fewer bytes than were
// offered, marks the stream failed (kXLErrorSpoolWrite). Returns what the
// spooler took.
uint32_t XLSpoolFlush(XLStream* stream, uintptr_t flushContext, uint8_t* buffer, uint32_t fill);

}  // namespace xlr
