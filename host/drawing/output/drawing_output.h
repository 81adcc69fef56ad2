// Where Unidrv's own drawing functions write: a PCL XL stream to the spool
// service of the device behind the target surface, with each call's drawing
// between PushGS and PopGS so that nothing it sets outlives it.
#pragma once

#include <cstdint>
#include <new>
#include <optional>

#include <printoem.h>
#include <winddi.h>

#include "host/drawing/output/colors.h"
#include "host/drawing/output/clip.h"
#include "pclxl/stream.h"

namespace xlhost {

// The device behind a surface: its dhpdev is the DEVOBJ that heads the host's
// device record. Null for no surface, no device, or a device without a spool service.
PDEVOBJ DeviceOfSurface(const SURFOBJ* surface);

// Ends a drawing call that fails: sets the thread's last error and returns FALSE.
BOOL FailCall(DWORD error);

// Runs the body of a drawing function so that no exception leaves it: running
// out of memory fails the call with ERROR_NOT_ENOUGH_MEMORY.
template <typename Body>
BOOL GuardedCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return FailCall(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        return FailCall(ERROR_INVALID_PARAMETER);
    }
}

class DrawingOutput {
  public:
    // Opens a stream of the default capacity whose owner is `device`; PushGS.
    explicit DrawingOutput(PDEVOBJ device);
    ~DrawingOutput();
    DrawingOutput(const DrawingOutput&) = delete;
    DrawingOutput& operator=(const DrawingOutput&) = delete;

    // False when no stream could be made (the last error is set then).
    bool Ok() const { return stream_ != nullptr; }
    xlr::XLStream* Stream() const { return stream_; }

    // PopGS and destroys the stream. TRUE when every byte reached the spooler;
    // FALSE with ERROR_WRITE_FAULT when a spool write failed.
    BOOL Close();
    // Close, for a call whose image writer may have refused its image (a size PCL
    // XL cannot carry): such a call fails with ERROR_NOT_SUPPORTED, not in silence.
    BOOL Close(bool imageSent);

  private:
    xlr::XLStream* stream_ = nullptr;
};

// What every drawing call starts from: the device behind the target surface, the
// page it can mark and the call's clip on it.
struct DrawingTarget {
    PDEVOBJ device = nullptr;
    RECTL page{};
    ClipPlan clip;
};

// False, with ERROR_INVALID_PARAMETER, for a surface without device or size.
bool OpenTarget(SURFOBJ* surface, CLIPOBJ* pco, DrawingTarget& target);

// The colour of a solid brush; nothing for no brush or a pattern brush.
std::optional<Rgb> SolidColor(const BRUSHOBJ* brush);

// The state every drawing call sets after PushGS: the clip, the ROP3, and opaque
// source and paint, so that what an earlier drawing left cannot change this one.
void WriteDrawingState(xlr::XLStream* stream, const ClipPlan& clip, uint8_t rop3);

}  // namespace xlhost
