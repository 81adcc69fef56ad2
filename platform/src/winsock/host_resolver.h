// The machine's resolver behind GetNameInfoW, kept apart so that the POSIX
// socket headers and the Windows-named ones never meet in one file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace xlplatform {

// The host name of an IPv4 address (network byte order); none when the
// resolver has no name for it.
std::optional<std::string> ReverseLookupIPv4(uint32_t address);

}  // namespace xlplatform
