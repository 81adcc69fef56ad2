// The printer's paper, media and form lists at the device: the checks that
// decide whether a job's media or form must be duplexed by hand, the borderless
// forms, and the finishing information the user-interface side asks for
// (escape 3880).
#pragma once

#include <cstdint>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// The media-type, form and constrained-form checks (media_checks.h) on the
// public device mode, which may switch the job to manual duplexing or turn
// alternate letterhead off.
void RunMediaChecks(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings);

// True when the device mode's form is one of the borderless forms of the
// printer's XML configuration.
bool IsBorderlessForm(PDEVOBJ device);

// Escape 3880's answer, after the media checks: how the job is duplexed and
// what its form allows. The user-interface side reads it; the layout is fixed.
struct FinishingInformation {
    uint32_t size;                 // 20, the bytes of this record
    uint32_t manualDuplex;         // 1: the job is duplexed by hand
    uint32_t mediaManualDuplex;    // 1: because its media type or form requires it
    uint32_t alternateLetterhead;  // 1: alternate letterhead printing stays on
    uint32_t constrainedForm;      // 1: the paper is one of the printer's constrained forms
};
static_assert(sizeof(FinishingInformation) == 20);

// Escape 3880: writes the record when `out` holds at least its 20 bytes, and
// leaves a smaller buffer untouched.
void WriteFinishingInformation(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                               ULONG outSize, PVOID out);

}  // namespace xlr
