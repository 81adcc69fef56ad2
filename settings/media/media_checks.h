// The checks that compare the job's paper and media with the printer's lists
// when a device is enabled (and before the finishing and job-storage escapes):
// media and forms the automatic duplexer cannot take switch the job to manual
// duplexing, and constrained forms turn alternate letterhead printing off.
#pragma once

#include <cstdint>

#include <windows.h>

#include "settings/settings_record.h"

namespace xlr {

// The device's fields the checks change.
struct MediaCheckState {
    int32_t& mediaManualDuplex;
    int32_t& alternateLetterhead;
};

// Runs the media-type check, the form check and the constrained-form check in
// that order. Switching to manual duplexing sets the settings' manual-duplex
// word and `mediaManualDuplex` together.
void RunPaperAndMediaChecks(HANDLE printer, SettingsRecord& settings, const DEVMODEW& devmode,
                            MediaCheckState state);

// The single checks, as the run above uses them; each answers whether its list
// holds the job's media or paper.
bool MediaTypeNeedsManualDuplex(HANDLE printer, const SettingsRecord& settings,
                                const DEVMODEW& devmode);
bool FormNeedsManualDuplex(HANDLE printer, const DEVMODEW& devmode);
bool IsConstrainedForm(HANDLE printer, const DEVMODEW& devmode);

}  // namespace xlr
