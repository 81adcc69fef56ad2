#include "host/cli/args.h"

#include <charconv>

namespace xlhost {

std::optional<std::string> ParsedArgs::Value(std::string_view name) const {
    auto it = values_.find(std::string(name));
    if (it == values_.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> ParsedArgs::Values(std::string_view name) const {
    auto it = values_.find(std::string(name));
    return it == values_.end() ? std::vector<std::string>{} : it->second;
}

std::optional<ParsedArgs> ParseArgs(std::span<const std::string> args,
                                    std::span<const OptionSpec> specs, std::string& error) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name;
        std::optional<std::string> inlineValue;
        if (arg[1] == '-') {
            name = arg.substr(2);
            if (size_t eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
        } else {
            const OptionSpec* alias = nullptr;
            for (const OptionSpec& spec : specs)
                if (arg.size() == 2 && spec.shortName == arg[1]) alias = &spec;
            if (alias == nullptr) {
                error = "unknown option " + arg;
                return std::nullopt;
            }
            name = std::string(alias->name);
        }
        if (name == "help") {
            parsed.values_["help"].push_back("");
            continue;
        }
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& candidate : specs)
            if (candidate.name == name) spec = &candidate;
        if (spec == nullptr) {
            error = "unknown option --" + name;
            return std::nullopt;
        }
        if (spec->valueName.empty()) {
            if (inlineValue) {
                error = "option --" + name + " takes no value";
                return std::nullopt;
            }
            parsed.values_[name].push_back("");
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error =
                    "option --" + name + " needs a value (" + std::string(spec->valueName) + ")";
                return std::nullopt;
            }
            inlineValue = args[++i];
        }
        parsed.values_[name].push_back(*inlineValue);
    }
    return parsed;
}

std::string OptionsHelp(std::span<const OptionSpec> specs) {
    std::string text;
    for (const OptionSpec& spec : specs) {
        std::string left = "  ";
        left += spec.shortName != 0 ? std::string("-") + spec.shortName + ", " : "    ";
        left += "--" + std::string(spec.name);
        if (!spec.valueName.empty()) left += " " + std::string(spec.valueName);
        if (left.size() < 30) left.resize(30, ' ');
        text += left + " " + std::string(spec.help) + "\n";
    }
    return text;
}

std::optional<long> ParseNumber(std::string_view text, long low, long high) {
    long value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace xlhost
