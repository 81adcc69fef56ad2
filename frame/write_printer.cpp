#include "frame/write_printer.h"

#include <cstdio>

#include <winspool.h>

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
        if (std::FILE* capture = std::fopen(state->capturePath, "a+b")) {
            *written = static_cast<DWORD>(std::fwrite(data, 1, size, capture));
            std::fclose(capture);
        }
    }
    return S_OK;
}

}  // namespace xlr
