// Job retention and job storage: the names under which a retained job is kept
// on the printer, and the job-storage exchange (escape 3900) with the
// user-interface side.
//
// FIXME: job retention and storage are not built yet. Until they are, a
// document gets no retention names (the state's retention user and job names
// stay empty) and the job-storage escape answers 1 without touching the
// caller's buffers.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// The job-name step at the start of a document: sets the state's retention
// user name and retention job name from the settings and the document name.
void NameDocument(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings);

// Escape 3900 with an output buffer: the job-storage handler's answer.
ULONG HandleJobStorage(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                       ULONG inSize, PVOID in, ULONG outSize, PVOID out);

}  // namespace xlr
