// Options that set up the world around the plug-in: who prints, where.
#pragma once

#include <span>
#include <string>

#include "host/cli/args.h"

namespace xlhost {

// --user, --country, --root, --env: shared by the commands that run the plug-in.
std::span<const OptionSpec> WorldOptionSpecs();

// Applies them to the world; the user defaults to the Linux login name. Returns
// false with `error` set for a malformed value.
bool ApplyWorldOptions(const ParsedArgs& args, std::string& error);

}  // namespace xlhost
