// Host names of numeric addresses.
#pragma once

#include <optional>

#include "settings/wide_text.h"

namespace xlr {

// The host name of a dotted IPv4 address (such as "10.1.2.3"), through the
// system's resolver; nothing when the text is no such address or the address
// has no name.
std::optional<WideString> HostNameOfAddress(WideStringView text);

}  // namespace xlr
