#include "image/sender_gate.h"

#include "image/direct_port.h"

namespace xlr {

bool SenderAllowed(const PluginDeviceState& state, const SettingsRecord& settings, PDEVOBJ device) {
    if (settings.noImageSender != 0) return false;
    switch (state.jpegMode) {
        case kJpegMaximum:
            return true;
        case kJpegAuto:
            return device != nullptr && IsDirectConnection(device->hPrinter);
        default:
            return false;
    }
}

}  // namespace xlr
