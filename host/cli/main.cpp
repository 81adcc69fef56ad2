// xlrender: prints documents through the render plug-in, the way Unidrv would,
// and inspects what it makes.
#include <cstdio>
#include <string>
#include <vector>

#include "host/cli/command.h"
#include "host/images/page_buffer.h"

namespace {

constexpr xlhost::Command kCommands[] = {
    {"print", "print documents through the plug-in into a print-job file", xlhost::RunPrint},
    {"plugin-info", "load the plug-in module and show what it reports", xlhost::RunPluginInfo},
    {"devmode", "make, show, merge and convert private device modes", xlhost::RunDevMode},
    {"dump", "list a print job's PJL and PCL XL as a printer receives them", xlhost::RunDump},
    {"features", "list the printer's features and their current options", xlhost::RunFeatures},
    {"ppd", "make the PPD file of a CUPS queue that prints through the plug-in", xlhost::RunPpd},
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: xlrender COMMAND [OPTIONS]\n\ncommands:\n");
    for (const auto& command : kCommands)
        std::fprintf(out, "  %-14s %.*s\n", std::string(command.name).c_str(),
                     static_cast<int>(command.summary.size()), command.summary.data());
    std::fprintf(out, "\n'xlrender COMMAND --help' describes a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    xlhost::KeepLargeBlocksMapped();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintUsage(stderr);
        return 1;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const auto& command : kCommands)
        if (command.name == args[0]) return command.run(std::span(args).subspan(1));
    std::fprintf(stderr, "xlrender: unknown command '%s'\n", args[0].c_str());
    PrintUsage(stderr);
    return 1;
}
