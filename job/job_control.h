// The job-control composers: the PJL lines of the job header (job and user
// names, string code set, driver comments, accounting, retention, usage,
// manual duplex, content orientation, image shift, processing adjustment,
// separator pages) and the job-control data block, each written for the
// command callback that stands for it.
//
// FIXME: the PJL composers are not built yet. Until they are, these callbacks
// write nothing; the job still prints with the printer description's own job
// commands around it.
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
