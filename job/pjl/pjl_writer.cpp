#include "job/pjl/pjl_writer.h"

namespace xlr {

bool WritePjl(PDEVOBJ device, const PluginDeviceState& state, std::string_view text) {
    if (text.empty()) return true;
    const auto size = static_cast<DWORD>(text.size());
    auto* bytes = const_cast<char*>(text.data());  // the spool write does not change them
    if (state.driverHelper != nullptr) {
        DWORD written = 0;
        return SUCCEEDED(state.driverHelper->DrvWriteSpoolBuf(device, bytes, size, &written)) &&
               written == size;
    }
    if (device == nullptr || device->pDrvProcs == nullptr ||
        device->pDrvProcs->DrvWriteSpoolBuf == nullptr)
        return false;
    return device->pDrvProcs->DrvWriteSpoolBuf(device, bytes, size) == size;
}

}  // namespace xlr
