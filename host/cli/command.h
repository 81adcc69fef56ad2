// The subcommands of `xlrender`.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace xlhost {

struct Command {
    std::string_view name;
    std::string_view summary;
    // Runs with the arguments after the command name; returns the exit status.
    int (*run)(std::span<const std::string> args);
};

int RunPluginInfo(std::span<const std::string> args);
int RunPrint(std::span<const std::string> args);
int RunDevMode(std::span<const std::string> args);
int RunDump(std::span<const std::string> args);
int RunFeatures(std::span<const std::string> args);
int RunPpd(std::span<const std::string> args);

}  // namespace xlhost
