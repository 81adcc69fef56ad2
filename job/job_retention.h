// Job storage: the job-storage exchange (escape 3900) with the user-interface
// side. (The retention block of the job header is in retention/, the names a
// retained job is kept under in names/document_names.h.)
//
// FIXME: job storage is not built yet. Until it is, the job-storage escape
// answers 1 without touching the caller's buffers.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// Escape 3900 with an output buffer: the job-storage handler's answer.
ULONG HandleJobStorage(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                       ULONG inSize, PVOID in, ULONG outSize, PVOID out);

}  // namespace xlr
