// Sending composed PJL text into the job: through the driver helper's spool
// write, as the printer description's own commands go.
#pragma once

#include <string_view>

#include <printoem.h>

#include "settings/device/device_state.h"

namespace xlr {

// Writes the bytes with one spool write (nothing for empty text). Without a
// driver helper the device's DRVPROCS write them. Returns false when the
// spooler took fewer bytes.
bool WritePjl(PDEVOBJ device, const PluginDeviceState& state, std::string_view text);

}  // namespace xlr
