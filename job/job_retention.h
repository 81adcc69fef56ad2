// Job retention and job storage: the names under which a retained job is kept
// on the printer, and the job-storage exchange (escape 3900) with the
// user-interface side.
//
// FIXME: job retention is not built yet. Until it is, a document gets no
// retention names (the state's retention user and job names stay empty).
#pragma once

#include <cstdint>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// The job-name step at the start of a document: sets the state's retention
// user name and retention job name from the settings and the document name.
void NameDocument(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings);

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
