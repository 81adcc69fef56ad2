// A small command-line parser: long options with optional short aliases, values
// given as "--name VALUE" or "--name=VALUE", and positional arguments.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace xlhost {

struct OptionSpec {
    std::string_view name;       // without the leading "--"
    std::string_view valueName;  // empty for a flag
    std::string_view help;
    char shortName = 0;
};

class ParsedArgs {
  public:
    bool Has(std::string_view name) const { return values_.count(std::string(name)) != 0; }
    std::optional<std::string> Value(std::string_view name) const;
    std::vector<std::string> Values(std::string_view name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

  private:
    friend std::optional<ParsedArgs> ParseArgs(std::span<const std::string>,
                                               std::span<const OptionSpec>, std::string&);
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> positional_;
};

// Parses args; on error returns nothing and sets `error` to a message naming the
// offending argument. "--help" is always accepted as a flag.
std::optional<ParsedArgs> ParseArgs(std::span<const std::string> args,
                                    std::span<const OptionSpec> specs, std::string& error);

// "  --name VALUE   help" lines for a usage text.
std::string OptionsHelp(std::span<const OptionSpec> specs);

// Parses a whole decimal number within [low, high].
std::optional<long> ParseNumber(std::string_view text, long low, long high);

}  // namespace xlhost
