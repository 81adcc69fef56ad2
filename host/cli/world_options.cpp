#include "host/cli/world_options.h"

#include <cstdlib>

#include <xlplatform/world.h>

namespace xlhost {
namespace {

constexpr OptionSpec kWorldOptions[] = {
    {"user", "NAME", "the user who prints (default: the login name)"},
    {"country", "CODE", "the user's locale country code (default 1)"},
    {"root", "DIR", "directory that holds drive C: (default: a private temporary one)"},
    {"env", "NAME=VALUE", "an environment variable of the printing process (repeatable)"},
};

}  // namespace

std::span<const OptionSpec> WorldOptionSpecs() {
    return kWorldOptions;
}

bool ApplyWorldOptions(const ParsedArgs& args, std::string& error) {
    xlplatform::World& world = xlplatform::TheWorld();
    if (auto user = args.Value("user")) {
        world.userName = xlplatform::Utf8ToUtf16(*user);
    } else if (const char* login = std::getenv("USER"); login != nullptr && *login != 0) {
        world.userName = xlplatform::Utf8ToUtf16(login);
    }
    if (auto country = args.Value("country")) {
        if (!ParseNumber(*country, 0, 999999)) {
            error = "--country wants a number, not '" + *country + "'";
            return false;
        }
        world.localeCountry = xlplatform::Utf8ToUtf16(*country);
    }
    if (auto root = args.Value("root")) world.driveRoots['C'] = *root;
    for (const std::string& entry : args.Values("env")) {
        const size_t eq = entry.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "--env wants NAME=VALUE, not '" + entry + "'";
            return false;
        }
        world.environment[xlplatform::Utf8ToUtf16(entry.substr(0, eq))] =
            xlplatform::Utf8ToUtf16(entry.substr(eq + 1));
    }
    return true;
}

}  // namespace xlhost
