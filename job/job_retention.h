// Job storage: the job-storage exchange (escape 3900) with the user-interface
// side. (The retention block of the job header is in retention/, the names a
// retained job is kept under in names/document_names.h.)
#pragma once

#include <cstdint>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// Escape 3900's answer, after the media checks: whether the printer keeps the
// job and how, and whether the job is duplexed by hand (the printer cannot
// print such a job again by itself). The user-interface side reads it; the
// layout is fixed.
struct JobStorageInformation {
    uint32_t size;                // 16, the bytes of this record
    uint32_t retentionInstalled;  // 1: the printer can keep jobs
    uint32_t retentionMode;       // 0 off, 1 proof and hold, 2 private, 3 quick copy, 4 stored
    uint32_t manualDuplex;        // 1: the job is duplexed by hand
};
static_assert(sizeof(JobStorageInformation) == 16);

// Escape 3900 with an output buffer: writes the record and answers 1; answers 0
// and writes nothing when `out` is smaller than the record.
ULONG HandleJobStorage(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                       ULONG inSize, PVOID in, ULONG outSize, PVOID out);

}  // namespace xlr
