#include "pclxl/spool_flush.h"

#include <cstring>

#include <printoem.h>

namespace xlr {

uint32_t XLSpoolFlush(XLStream* stream, uintptr_t /*flushContext*/, uint8_t* /*buffer*/,
                      uint32_t /*fill*/) {
    // An empty buffer has nothing to send; asking the spooler for a 0-byte write
    // would read its 0 as a failure.
    if (stream->fill == 0) return 0;
    auto* device = static_cast<PDEVOBJ>(stream->owner);
    DWORD written = 0;
    if (device != nullptr && device->pDrvProcs != nullptr &&
        device->pDrvProcs->DrvWriteSpoolBuf != nullptr)
        written = device->pDrvProcs->DrvWriteSpoolBuf(device, stream->buffer, stream->fill);
    // A short write loses the rest of the buffer as surely as a failed one; both
    // stop the stream rather than let a corrupt job look complete. The bytes the
    // spooler did take leave the buffer, so that a later flush cannot send them twice.
    if (written < stream->fill) {
        XLStreamSetError(stream, kXLErrorSpoolWrite);
        if (written > 0) {
            std::memmove(stream->buffer, stream->buffer + written, stream->fill - written);
            stream->fill -= written;
        }
        return written;
    }
    stream->fill = 0;
    return written;
}

}  // namespace xlr
