// The retention block of the job being printed, written once per job.
#pragma once

#include <printoem.h>

#include "job/retention/retention_block.h"
#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// The block's choices from the settings and the names chosen at the start of
// the document; names that cannot be converted are sent empty.
RetentionChoices RetentionChoicesFor(const PluginDeviceState& state,
                                     const SettingsRecord& settings);

// When the printer keeps jobs (the settings' retention-installed word is 1)
// and the block has not gone out for this job: counts the job for automatic
// numbering and writes the block.
void WriteRetentionBlock(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings);

}  // namespace xlr
