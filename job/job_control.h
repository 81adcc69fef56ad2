// The job-control callbacks: the PJL lines of the job header (job and user
// names, string code set, driver comments, accounting, retention, usage, born-
// on date, manual duplex, content orientation, image shift, processing
// adjustment, separator pages), each written when the printer description's
// command for it comes up.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// The command callbacks the composers answer.
inline constexpr DWORD kJobControlCallbacks[] = {1, 3, 4, 5, 8, 10, 12, 13, 14, 16, 23, 27, 32, 33};

bool IsJobControlCallback(DWORD callbackId);

// Writes what job-control callback `callbackId` stands for.
void WriteJobControlCallback(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                             DWORD callbackId);

}  // namespace xlr
