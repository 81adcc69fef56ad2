// The applications the plug-in knows by name, and what it knows of each: a set
// of flags that other parts of the driver test (how the application draws,
// whether its name is remembered for the spooler).
#pragma once

#include <cstdint>

#include "settings/wide_text.h"

namespace xlr {

// Record the application's file name in printer data, so that the spooler's
// side can name the application of a job that reaches it without one.
constexpr uint32_t kAppFlagRecordName = 0x40000000;

// The flags of an application by its upper-case base name (file name without
// its extension); 0 for an application the table does not name.
uint32_t ApplicationFlags(WideStringView upperBaseName);

}  // namespace xlr
