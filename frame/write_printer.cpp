#include "frame/write_printer.h"

#include <winspool.h>

#include "frame/capture_file.h"
#include "settings/device/device_state.h"

namespace xlr {

HRESULT WriteJobBytes(PDEVOBJ device, PVOID data, DWORD size, PDWORD written) {
    DWORD ignored = 0;
    if (written == nullptr) written = &ignored;
    if (data == nullptr || size == 0) {
        *written = size;
        return S_OK;
    }
    PluginDeviceState* state = DeviceState(device);
    if (state == nullptr || device->pPublicDM == nullptr) {
        *written = 0;
        return E_FAIL;
    }
    // The caller learns what the spooler took; a failed write is a failure,
    // whatever the capture does.
    *written = 0;
    const BOOL sent = WritePrinter(device->hPrinter, data, size, written);
    if (*written > size) *written = size;
    // The capture holds what the spooler took, so that each copy is the job
    // as sent. A capture that cannot be written is given up at once: a
    // half-written capture would send broken copies.
    if (state->captureActive == 1 && *written > 0 && !AppendToCaptureFile(*state, data, *written))
        GiveUpCapture(*state,
                      "the capture file could not be written; pages already ended print once");
    return sent ? S_OK : E_FAIL;
}

}  // namespace xlr
