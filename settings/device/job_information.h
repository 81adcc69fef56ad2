// The job information that the user-interface side sends through escape 3882
// before a page: whether the coming pass only analyses the page, whether the
// job is duplexed by hand, and the speed-mechanism values.
#pragma once

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

// Takes the 32-bit little-endian words of the input that the plug-in uses
// (word 0 suppressOutput, word 7 the manual-duplex flag of the caller's
// unpacked settings, word 12 speedMechFlags, word 13 speedMechSimplex; a word
// past the end of the input reads as 0). Answers 1: the values are taken.
ULONG TakeJobInformation(PluginDeviceState& state, SettingsRecord& settings, ULONG inSize,
                         const void* in);

}  // namespace xlr
