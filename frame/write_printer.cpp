#include "frame/write_printer.h"

#include <winspool.h>

#include "frame/stdio_file.h"
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
    WritePrinter(device->hPrinter, data, size, written);
    if (state->captureActive == 1) {
        // A capture file that cannot be opened loses this block for the later
        // copies; the spooler write stands.
        StdioFile capture(state->capturePath, "a+b");
        if (capture) *written = static_cast<DWORD>(capture.Write(data, size));
    }
    return S_OK;
}

}  // namespace xlr
