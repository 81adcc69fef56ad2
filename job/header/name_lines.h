// The job header's name lines: the job's name (JOB NAME, JOBNAME) and the
// user's (USERNAME), and the announcement of UTF-8 text.
#pragma once

#include <optional>
#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// @PJL JOB NAME="<document>". The state's document name is cleaned in place
// first, so that every later line sends the same text. Nothing when the name
// cannot be converted.
std::optional<std::string> JobNameLine(PluginDeviceState& state);

std::string StringCodeSetLine();

// USERNAME (the job's user, cleaned; the driver's unknown-user name when
// nothing is left) and, when no retention block will name the job, JOBNAME
// (the document name, cleaned in place). A name that cannot be converted
// leaves its line out.
std::string UserAndJobNameLines(PDEVOBJ device, PluginDeviceState& state,
                                const SettingsRecord& settings);

// Whether callback 5 writes at all: the user's name is not overridden by the
// retention block (the override word is 0, or 1 without retention).
bool SendsUserAndJobName(const SettingsRecord& settings);

}  // namespace xlr
