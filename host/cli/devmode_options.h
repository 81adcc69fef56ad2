// The command line's device mode options, read into the choices of a public
// device mode.
#pragma once

#include <span>
#include <string>

#include "host/cli/args.h"
#include "host/unidrv/public_devmode.h"

namespace xlhost {

// --paper, --orientation, --copies, --collate/--no-collate, --color, --duplex,
// --tt-option, --source, --media-type.
std::span<const OptionSpec> DevModeOptionSpecs();

// The choices the options give. Returns false with `error` naming a bad value
// (or --collate given with --no-collate).
bool ReadDevModeOptions(const ParsedArgs& args, DevModeChoices& choices, std::string& error);

}  // namespace xlhost
