#include "host/gpd/reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>

#include "host/gpd/lexer.h"

namespace xlhost {
namespace {

enum class Entry {
    kSpecVersion,
    kFileName,
    kModelName,
    kMasterUnits,
    kFeature,
    kCommand,
    kInclude,
    kName,
    kDefaultOption,
    kOption,
    kPageDimensions,
    kPrintableArea,
    kPrintableOrigin,
    kDpi,
    kOrder,
    kCmd,
    kCallbackId,
    kParams,
};

struct EntryName {
    std::string_view keyword;
    Entry entry;
};

constexpr EntryName kTopLevelEntries[] = {
    {"GPDSpecVersion", Entry::kSpecVersion},
    {"GPDFileName", Entry::kFileName},
    {"ModelName", Entry::kModelName},
    {"MasterUnits", Entry::kMasterUnits},
    {"Feature", Entry::kFeature},
    {"Command", Entry::kCommand},
    {"Include", Entry::kInclude},
};
constexpr EntryName kFeatureEntries[] = {
    {"Name", Entry::kName}, {"DefaultOption", Entry::kDefaultOption}, {"Option", Entry::kOption}};
constexpr EntryName kOptionEntries[] = {
    {"Name", Entry::kName},
    {"Command", Entry::kCommand},
    {"PageDimensions", Entry::kPageDimensions},
    {"PrintableArea", Entry::kPrintableArea},
    {"PrintableOrigin", Entry::kPrintableOrigin},
    {"DPI", Entry::kDpi},
};
constexpr EntryName kCommandEntries[] = {{"Order", Entry::kOrder},
                                         {"Cmd", Entry::kCmd},
                                         {"CallbackID", Entry::kCallbackId},
                                         {"Params", Entry::kParams}};

template <size_t N>
std::optional<Entry> Lookup(const EntryName (&table)[N], std::string_view keyword) {
    for (const EntryName& name : table)
        if (name.keyword == keyword) return name.entry;
    return std::nullopt;
}

// Sizes in master units and resolutions stay far below what 64-bit arithmetic
// on them could overflow.
constexpr std::int64_t kLargestDimension = 10'000'000;
constexpr std::int64_t kLargestUnits = 100'000;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A value as quoted in a message: long ones are cut.
std::string Excerpt(std::string_view value) {
    constexpr size_t kLongest = 60;
    return value.size() <= kLongest ? std::string(value)
                                    : std::string(value.substr(0, kLongest)) + "...";
}

bool IsSymbol(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

// Option names may also be file names ("configured-laser.xml" of KXXMLFileUsed).
bool IsOptionName(std::string_view text) {
    if (text.empty() || text.front() == '.' || text.front() == '-') return false;
    for (char c : text)
        if (!IsSymbol(std::string_view(&c, 1)) && c != '.' && c != '-') return false;
    return true;
}

std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
    text = Trim(text);
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || value < low ||
        value > high)
        return std::nullopt;
    return value;
}

// The items of "NAME(a, b, ...)", or nothing when the text has another form.
std::optional<std::vector<std::string_view>> ParseCall(std::string_view text,
                                                       std::string_view name) {
    text = Trim(text);
    if (text.substr(0, name.size()) != name) return std::nullopt;
    text = Trim(text.substr(name.size()));
    if (text.size() < 2 || text.front() != '(' || text.back() != ')') return std::nullopt;
    text = text.substr(1, text.size() - 2);
    std::vector<std::string_view> items;
    for (;;) {
        const size_t comma = text.find(',');
        items.push_back(Trim(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return items;
}

std::optional<GpdPair> ParsePair(std::string_view text, std::int64_t low, std::int64_t high) {
    const auto items = ParseCall(text, "PAIR");
    if (!items || items->size() != 2) return std::nullopt;
    const auto x = ParseInteger((*items)[0], low, high);
    const auto y = ParseInteger((*items)[1], low, high);
    if (!x || !y) return std::nullopt;
    return GpdPair{*x, *y};
}

std::string SectionList() {
    std::string list;
    for (OrderSection section : kOrderSections) {
        if (!list.empty()) list += ", ";
        list += OrderSectionName(section);
    }
    return list;
}

class Reader {
  public:
    Reader(std::string_view text, std::string_view fileName) : lexer_(text), file_(fileName) {
        description_.fileName = std::string(fileName);
    }

    GpdReadResult Run() {
        if (ParseTopLevel() && Validate()) result_.description = std::move(description_);
        return std::move(result_);
    }

  private:
    // ---- tokens and messages ----

    GpdToken Take() {
        if (lookahead_) {
            GpdToken token = std::move(*lookahead_);
            lookahead_.reset();
            return token;
        }
        return lexer_.Next();
    }

    const GpdToken& Peek() {
        if (!lookahead_) lookahead_ = lexer_.Next();
        return *lookahead_;
    }

    bool Error(int line, std::string message) {
        if (!result_.error)
            result_.error = GpdDiagnostic{std::string(file_), line, std::move(message)};
        return false;
    }

    void Warn(int line, std::string message) {
        result_.warnings.push_back(GpdDiagnostic{std::string(file_), line, std::move(message)});
    }

    static std::string Named(const GpdToken& entry) {
        return "*" + entry.keyword + (entry.value.empty() ? "" : ": " + Excerpt(entry.value));
    }

    // ---- blocks ----

    bool ExpectBlock(const GpdToken& entry) {
        const GpdToken token = Take();
        if (token.kind == GpdTokenKind::kError) return Error(token.line, token.value);
        if (token.kind != GpdTokenKind::kOpenBrace)
            return Error(entry.line, Named(entry) + " must be followed by '{'");
        return true;
    }

    // An entry that takes a value only.
    bool ExpectNoBlock(const GpdToken& entry) {
        if (Peek().kind == GpdTokenKind::kOpenBrace)
            return Error(entry.line, "*" + entry.keyword + " takes no block");
        return true;
    }

    // Skips an entry that is not read, with its block when it has one.
    bool Skip(const GpdToken& entry, std::string why) {
        Warn(entry.line, std::move(why));
        if (Peek().kind != GpdTokenKind::kOpenBrace) return true;
        Take();
        int depth = 1;
        while (depth > 0) {
            const GpdToken token = Take();
            switch (token.kind) {
                case GpdTokenKind::kError:
                    return Error(token.line, token.value);
                case GpdTokenKind::kEnd:
                    return Error(entry.line,
                                 "the block of " + Named(entry) + " has no closing '}'");
                case GpdTokenKind::kOpenBrace:
                    ++depth;
                    break;
                case GpdTokenKind::kCloseBrace:
                    --depth;
                    break;
                case GpdTokenKind::kEntry:
                    break;
            }
        }
        return true;
    }

    bool SkipUnknown(const GpdToken& entry) {
        return Skip(entry, "*" + entry.keyword + " is not read here; skipped");
    }

    // Reads entries up to the '}' that closes the block of `opener`.
    template <typename Handler>
    bool ParseBlock(const GpdToken& opener, Handler handle) {
        for (;;) {
            GpdToken token = Take();
            switch (token.kind) {
                case GpdTokenKind::kError:
                    return Error(token.line, token.value);
                case GpdTokenKind::kEnd:
                    return Error(opener.line,
                                 "the block of " + Named(opener) + " has no closing '}'");
                case GpdTokenKind::kCloseBrace:
                    return true;
                case GpdTokenKind::kOpenBrace:
                    return Error(token.line, "'{' without an entry before it");
                case GpdTokenKind::kEntry:
                    if (!handle(token)) return false;
                    break;
            }
        }
    }

    // ---- values ----

    bool Keyword(const GpdToken& entry, std::string_view what, std::string& out) {
        if (entry.value.size() > kLongestFeatureName)
            return Error(entry.line, std::string(what) + " is " +
                                         std::to_string(entry.value.size()) +
                                         " characters long; at most 255 are allowed");
        if (!IsSymbol(entry.value))
            return Error(entry.line, std::string(what) + " '" + Excerpt(entry.value) +
                                         "' may hold only letters, digits and '_'");
        out = entry.value;
        return true;
    }

    bool OptionName(const GpdToken& entry, std::string& out) {
        if (entry.value.size() > kLongestFeatureName)
            return Error(entry.line, "the option name is " + std::to_string(entry.value.size()) +
                                         " characters long; at most 255 are allowed");
        if (!IsOptionName(entry.value))
            return Error(entry.line, "the option name '" + Excerpt(entry.value) +
                                         "' may hold only letters, digits, '_', '.' and '-' "
                                         "(not first)");
        out = entry.value;
        return true;
    }

    bool Text(const GpdToken& entry, std::string& out) {
        std::string message;
        if (DecodeQuotedText(entry.value, out, message) != StringStatus::kOk)
            return Error(entry.line, "*" + entry.keyword + ": " + message);
        return true;
    }

    bool Pair(const GpdToken& entry, std::int64_t low, std::int64_t high,
              std::optional<GpdPair>& out) {
        out = ParsePair(entry.value, low, high);
        if (!out)
            return Error(entry.line, "*" + entry.keyword + " wants PAIR(x, y) with numbers from " +
                                         std::to_string(low) + " to " + std::to_string(high) +
                                         ", not '" + Excerpt(entry.value) + "'");
        return true;
    }

    // ---- constructs ----

    bool ParseTopLevel() {
        for (;;) {
            const GpdToken token = Take();
            switch (token.kind) {
                case GpdTokenKind::kError:
                    return Error(token.line, token.value);
                case GpdTokenKind::kEnd:
                    return true;
                case GpdTokenKind::kCloseBrace:
                    return Error(token.line, "'}' without a block to close");
                case GpdTokenKind::kOpenBrace:
                    return Error(token.line, "'{' without an entry before it");
                case GpdTokenKind::kEntry:
                    if (!TopLevelEntry(token)) return false;
                    break;
            }
        }
    }

    bool TopLevelEntry(const GpdToken& entry) {
        const auto kind = Lookup(kTopLevelEntries, entry.keyword);
        if (!kind) return SkipUnknown(entry);
        switch (*kind) {
            case Entry::kSpecVersion:
                return ExpectNoBlock(entry) && Text(entry, description_.specVersion);
            case Entry::kFileName: {
                std::string ignored;
                return ExpectNoBlock(entry) && Text(entry, ignored);
            }
            case Entry::kModelName:
                return ExpectNoBlock(entry) && Text(entry, description_.modelName);
            case Entry::kMasterUnits:
                return ExpectNoBlock(entry) &&
                       Pair(entry, 1, kLargestUnits, description_.masterUnits);
            case Entry::kFeature:
                return ParseFeature(entry);
            case Entry::kCommand: {
                std::string name;
                if (!Keyword(entry, "a command name", name)) return false;
                auto& commands = description_.commands;
                size_t index = commands.size();
                for (size_t i = 0; i < commands.size(); ++i)
                    if (commands[i].name == name) index = i;
                if (index == commands.size()) {
                    commands.push_back(PrinterCommand{});
                    commands.back().name = name;
                    commands.back().line = entry.line;
                }
                bool dropped = false;
                if (!ParseCommand(entry, commands[index], dropped)) return false;
                if (dropped) commands.erase(commands.begin() + static_cast<std::ptrdiff_t>(index));
                return true;
            }
            case Entry::kInclude:
                // Included files hold names and macros for the parts that are not
                // read here; what this subset reads lies in the file itself.
                return ExpectNoBlock(entry) &&
                       Skip(entry, Named(entry) + " skipped: included files are not read");
            default:
                return SkipUnknown(entry);
        }
    }

    bool ParseFeature(const GpdToken& entry) {
        std::string name;
        if (!Keyword(entry, "the feature name", name)) return false;
        size_t index = description_.features.size();
        for (size_t i = 0; i < description_.features.size(); ++i)
            if (description_.features[i].name == name) index = i;
        if (index == description_.features.size()) {
            description_.features.push_back(Feature{});
            description_.features.back().name = name;
            description_.features.back().line = entry.line;
        }
        if (!ExpectBlock(entry)) return false;
        return ParseBlock(entry, [&](const GpdToken& token) {
            Feature& feature = description_.features[index];
            const auto kind = Lookup(kFeatureEntries, token.keyword);
            if (!kind) return SkipUnknown(token);
            switch (*kind) {
                case Entry::kName:
                    return ExpectNoBlock(token) && Text(token, feature.displayName);
                case Entry::kDefaultOption:
                    defaultOptionLines_[name] = token.line;
                    return ExpectNoBlock(token) && OptionName(token, feature.defaultOption);
                case Entry::kOption:
                    return ParseOption(feature, token);
                default:
                    return SkipUnknown(token);
            }
        });
    }

    bool ParseOption(Feature& feature, const GpdToken& entry) {
        std::string keyword;
        if (!OptionName(entry, keyword)) return false;
        FeatureOption* option = nullptr;
        for (FeatureOption& existing : feature.options)
            if (existing.keyword == keyword) option = &existing;
        if (option == nullptr) {
            feature.options.push_back(FeatureOption{});
            option = &feature.options.back();
            option->keyword = keyword;
            option->line = entry.line;
        }
        if (!ExpectBlock(entry)) return false;
        return ParseBlock(entry, [&](const GpdToken& token) {
            const auto kind = Lookup(kOptionEntries, token.keyword);
            if (!kind) return SkipUnknown(token);
            switch (*kind) {
                case Entry::kName:
                    return ExpectNoBlock(token) && Text(token, option->displayName);
                case Entry::kCommand: {
                    if (token.value != "CmdSelect")
                        return Skip(token,
                                    Named(token) + " skipped: an option holds only CmdSelect");
                    if (!option->select) {
                        option->select.emplace();
                        option->select->name = token.value;
                        option->select->line = token.line;
                    }
                    bool dropped = false;
                    if (!ParseCommand(token, *option->select, dropped)) return false;
                    if (dropped) option->select.reset();
                    return true;
                }
                case Entry::kPageDimensions:
                    return ExpectNoBlock(token) &&
                           Pair(token, 1, kLargestDimension, option->pageDimensions);
                case Entry::kPrintableArea:
                    return ExpectNoBlock(token) &&
                           Pair(token, 1, kLargestDimension, option->printableArea);
                case Entry::kPrintableOrigin:
                    return ExpectNoBlock(token) &&
                           Pair(token, 0, kLargestDimension, option->printableOrigin);
                case Entry::kDpi:
                    return ExpectNoBlock(token) && Pair(token, 1, kLargestUnits, option->dpi);
                default:
                    return SkipUnknown(token);
            }
        });
    }

    // Reads a command's block into `command`. A command that uses a form this host
    // does not support is reported and `dropped`.
    bool ParseCommand(const GpdToken& entry, PrinterCommand& command, bool& dropped) {
        if (!ExpectBlock(entry)) return false;
        bool hasCmd = !command.cmd.Empty();
        const bool read = ParseBlock(entry, [&](const GpdToken& token) {
            const auto kind = Lookup(kCommandEntries, token.keyword);
            if (!kind) return SkipUnknown(token);
            if (!ExpectNoBlock(token)) return false;
            switch (*kind) {
                case Entry::kOrder:
                    return Order(token, command);
                case Entry::kCmd: {
                    std::string message;
                    const StringStatus status =
                        DecodeQuotedValue(token.value, true, command.cmd, message);
                    if (status == StringStatus::kMalformed)
                        return Error(token.line, "*Cmd: " + message);
                    if (status == StringStatus::kUnsupported) {
                        Warn(token.line, "*Command: " + command.name + " skipped: " + message);
                        dropped = true;
                    }
                    hasCmd = true;
                    return true;
                }
                case Entry::kCallbackId: {
                    const auto id = ParseInteger(token.value, 1, 0x7FFFFFFF);
                    if (!id)
                        return Error(token.line, "*CallbackID wants a positive number, not '" +
                                                     Excerpt(token.value) + "'");
                    command.callbackId = static_cast<int>(*id);
                    return true;
                }
                case Entry::kParams:
                    return Params(token, command, dropped);
                default:
                    return SkipUnknown(token);
            }
        });
        if (!read || dropped) return read;
        if (hasCmd && command.IsCallback())
            return Error(command.line,
                         "*Command: " + command.name + " has both *Cmd and *CallbackID");
        if (!hasCmd && !command.IsCallback())
            return Error(command.line,
                         "*Command: " + command.name + " has neither *Cmd nor *CallbackID");
        return true;
    }

    bool Order(const GpdToken& token, PrinterCommand& command) {
        const std::string_view value = token.value;
        const size_t dot = value.find('.');
        const auto section = OrderSectionFromName(value.substr(0, dot));
        const auto number = dot == std::string_view::npos
                                ? std::nullopt
                                : ParseInteger(value.substr(dot + 1), 0, 0x7FFFFFFF);
        if (!section || !number)
            return Error(token.line, "*Order wants SECTION.NUMBER with a section of " +
                                         SectionList() + ", not '" + Excerpt(token.value) + "'");
        command.order = CommandOrder{*section, static_cast<std::uint32_t>(*number)};
        return true;
    }

    bool Params(const GpdToken& token, PrinterCommand& command, bool& dropped) {
        const auto items = ParseCall(token.value, "LIST");
        if (!items)
            return Error(token.line,
                         "*Params wants LIST(variable, ...), not '" + Excerpt(token.value) + "'");
        command.callbackParams.clear();
        if (items->size() == 1 && (*items)[0].empty()) return true;
        for (std::string_view item : *items) {
            const auto variable = StandardVariableFromName(item);
            if (!variable) {
                if (!IsSymbol(item))
                    return Error(token.line, "*Params: '" + Excerpt(item) + "' is not a name");
                Warn(token.line, "*Command: " + command.name + " skipped: '" + Excerpt(item) +
                                     "' is not a standard variable");
                dropped = true;
                return true;
            }
            command.callbackParams.push_back(*variable);
        }
        return true;
    }

    // ---- checks once the whole file is read ----

    bool Validate() {
        for (Feature& feature : description_.features) {
            if (feature.options.empty())
                return Error(feature.line, "*Feature: " + feature.name + " has no *Option");
            if (feature.defaultOption.empty()) {
                Warn(feature.line, "*Feature: " + feature.name +
                                       " has no *DefaultOption; its first option " +
                                       feature.options.front().keyword + " is the default");
                feature.defaultOption = feature.options.front().keyword;
            } else if (feature.FindOption(feature.defaultOption) == nullptr) {
                return Error(defaultOptionLines_[feature.name],
                             "*DefaultOption: " + feature.defaultOption + " is not an option of " +
                                 feature.name);
            }
            for (const FeatureOption& option : feature.options) {
                if (!option.pageDimensions) continue;
                if (!description_.masterUnits)
                    return Error(option.line, "paper sizes need *MasterUnits");
                const GpdPair page = *option.pageDimensions;
                const GpdPair origin = option.printableOrigin.value_or(GpdPair{});
                const GpdPair area =
                    option.printableArea.value_or(GpdPair{page.x - origin.x, page.y - origin.y});
                if (area.x <= 0 || area.y <= 0 || origin.x + area.x > page.x ||
                    origin.y + area.y > page.y)
                    return Error(option.line, "the printable area of " + option.keyword +
                                                  " lies outside its page");
            }
        }
        return true;
    }

    GpdLexer lexer_;
    std::string_view file_;
    std::optional<GpdToken> lookahead_;
    PrinterDescription description_;
    std::map<std::string, int> defaultOptionLines_;
    GpdReadResult result_;
};

}  // namespace

std::string GpdDiagnostic::Text() const {
    return line > 0 ? file + ":" + std::to_string(line) + ": " + message : file + ": " + message;
}

GpdReadResult ReadPrinterDescription(std::string_view text, std::string_view fileName) {
    if (text.size() > kLargestDescription) {
        GpdReadResult result;
        result.error = GpdDiagnostic{std::string(fileName), 0,
                                     "larger than 16 MiB; not a printer description"};
        return result;
    }
    return Reader(text, fileName).Run();
}

GpdReadResult ReadPrinterDescriptionFile(const std::string& path) {
    GpdReadResult result;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = GpdDiagnostic{path, 0, std::string("cannot read: ") + std::strerror(errno)};
        return result;
    }
    std::string text;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > kLargestDescription) return ReadPrinterDescription(text, path);
    }
    if (in.bad()) {
        result.error = GpdDiagnostic{path, 0, "read error"};
        return result;
    }
    return ReadPrinterDescription(text, path);
}

}  // namespace xlhost
