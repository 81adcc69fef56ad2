// xlrender-cups: the CUPS filter. See filter.h.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cups/filter.h"
#include "host/images/page_buffer.h"

int main(int argc, char** argv) {
    // A reader that goes away makes writes fail, and the filter says so.
    std::signal(SIGPIPE, SIG_IGN);
    xlhost::KeepLargeBlocksMapped();
    const std::vector<std::string> args(argv + 1, argv + argc);
    xlcups::FilterArguments arguments;
    std::string error;
    const auto environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    if (!xlcups::ReadFilterArguments(args, environment, arguments, error)) {
        std::fprintf(stderr, "ERROR: %s\n", error.c_str());
        return 1;
    }
    return xlcups::RunFilter(arguments);
}
