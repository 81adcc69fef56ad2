// Whether a blit may go through the image sender at all, before its pixels are
// looked at: the settings allow it, and the JPEGEnable choice does for this
// printer.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// JPEGEnable choices of the device state.
constexpr int32_t kJpegOff = 0;
constexpr int32_t kJpegAuto = 1;
constexpr int32_t kJpegBest = 2;
constexpr int32_t kJpegMaximum = 3;

// False when the settings record turns the sender off (its word at offset 184).
// Otherwise "Maximum" always allows it, "Auto" only for a printer on a direct
// connection, "Best" (the printer's own rasterising) and no choice never.
bool SenderAllowed(const PluginDeviceState& state, const SettingsRecord& settings, PDEVOBJ device);

// While a hook hands an image to the engine's own implementation, the calls
// that come back from it (DrvCopyBits with the engine's result) leave the image
// to Unidrv: `skipSenderOnce` is set for as long as the object lives, and so
// for that one hook call only.
class SenderSkipped {
  public:
    explicit SenderSkipped(PluginDeviceState& state) : state_(state) { state_.skipSenderOnce = 1; }
    ~SenderSkipped() { state_.skipSenderOnce = 0; }
    SenderSkipped(const SenderSkipped&) = delete;
    SenderSkipped& operator=(const SenderSkipped&) = delete;

  private:
    PluginDeviceState& state_;
};

}  // namespace xlr
