// The public device mode of a job, made from command-line choices.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include <windows.h>

#include "host/args.h"

namespace xlhost {

// --paper, --orientation, --copies, --collate/--no-collate, --color, --duplex,
// --tt-option, --source, --media-type.
std::span<const OptionSpec> PublicDevModeOptionSpecs();

// The printer's default public device mode (paper from the world's locale),
// changed by the options. Returns false with `error` naming a bad value.
bool MakePublicDevMode(const ParsedArgs& args, DEVMODEW& devmode, std::string& error);

// Whether --paper would take the text: a paper name (any case) or a DMPAPER number.
bool IsPaperChoice(std::string_view text);

}  // namespace xlhost
