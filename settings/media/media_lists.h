// The printer's paper, media and form lists: the checks that decide whether a
// job's media or form must be duplexed by hand, the borderless forms, and the
// finishing information the user-interface side asks for (escape 3880).
//
// FIXME: the paper and media lists are not built yet. Until they are, the
// media checks change nothing, no form is borderless and the finishing
// information leaves the caller's buffer as it was.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// The media-type, form and constrained-form checks, which may switch the job
// to manual duplexing or turn alternate letterhead off.
void RunMediaChecks(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings);

// True when the device mode's form is one of the printer's borderless forms.
bool IsBorderlessForm(PDEVOBJ device);

// Escape 3880: the finishing and form-constraint data, written into `out`.
void WriteFinishingInformation(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                               ULONG outSize, PVOID out);

}  // namespace xlr
