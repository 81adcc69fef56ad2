// Configured printer commands: a text of items, each introduced by a marker
// character and running to the next marker:
//   "text    literal bytes
//   <1B45    hexadecimal byte pairs; a zero byte is written as "$", which the
//            command's sender turns back into 0
//   %expr    an integer expression (command_expression.h), written in decimal
//   =name    a macro, whose replacement is expanded by the same rules; a
//            replacement with a backslash is literal text up to the backslash
// One trailing blank of an item is dropped; text before the first marker is
// ignored.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/xml/command_expression.h"
#include "settings/wide_text.h"

namespace xlr {

// The replacement text of a macro, or nothing when there is no such macro.
using MacroLookup = std::function<std::optional<WideString>(std::string_view name)>;

struct ExpandedCommand {
    std::string bytes;
    std::string error;  // empty when the whole command was expanded
};

// Macros may nest 16 deep; a command may grow to 64 KiB, run through 100,000
// items and read 4 MiB of macro text in all. Beyond those limits, and for an unknown macro or a bad
// expression, the expansion stops with an error and no bytes: a half-expanded
// command is never sent to a printer.
constexpr int kMaxMacroDepth = 16;
constexpr size_t kMaxCommandBytes = 64 * 1024;
constexpr size_t kMaxCommandItems = 100'000;
constexpr size_t kMaxMacroTextBytes = 4 << 20;

ExpandedCommand ExpandCommand(std::string_view text, const MacroLookup& macros,
                              const StandardVariables& variables);

// The 8-bit form of a configuration text: the low byte of each unit.
std::string NarrowToBytes(WideStringView text);

}  // namespace xlr
