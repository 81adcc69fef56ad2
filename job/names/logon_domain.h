// The domain of the user the plug-in runs for.
#pragma once

#include "settings/wide_text.h"

namespace xlr {

constexpr size_t kDomainLength = 256;  // units, terminator included

// On Windows Vista and later (major version 6 or more), the domain of the
// account of the process token's user; before that, Winlogon's
// DefaultDomainName, else its CachePrimaryDomain. Empty when none is found.
WideString LogonDomain();

}  // namespace xlr
