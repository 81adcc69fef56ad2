#include "settings/xml/command_expansion.h"

namespace xlr {
namespace {

bool IsMarker(char c) {
    return c == '=' || c == '%' || c == '"' || c == '<';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;  // any other character counts as 0
}

class Expander {
  public:
    Expander(const MacroLookup& macros, const StandardVariables& variables)
        : macros_(macros), variables_(variables) {}

    ExpandedCommand Run(std::string_view text) {
        Expand(text, 0);
        if (!error_.empty()) out_.clear();
        return {std::move(out_), std::move(error_)};
    }

  private:
    void Expand(std::string_view text, int depth) {
        size_t pos = 0;
        while (pos < text.size() && !IsMarker(text[pos])) ++pos;
        while (pos < text.size() && error_.empty()) {
            const char marker = text[pos];
            size_t end = pos + 1;
            while (end < text.size() && !IsMarker(text[end])) ++end;
            std::string_view item = text.substr(pos + 1, end - pos - 1);
            if (!item.empty() && item.back() == ' ') item.remove_suffix(1);
            if (++items_ > kMaxCommandItems) return Fail("more than 100,000 items");
            switch (marker) {
                case '"':
                    Append(item);
                    break;
                case '<':
                    AppendHex(item);
                    break;
                case '%':
                    AppendExpression(item);
                    break;
                case '=':
                    AppendMacro(item, depth);
                    break;
            }
            pos = end;
        }
    }

    void AppendHex(std::string_view item) {
        for (size_t i = 0; i + 1 < item.size(); i += 2) {
            const char byte = static_cast<char>(HexDigit(item[i]) * 16 + HexDigit(item[i + 1]));
            Append(byte == 0 ? std::string_view("$") : std::string_view(&byte, 1));
        }
    }

    void AppendExpression(std::string_view item) {
        const ExpressionValue value = EvaluateExpression(item, variables_);
        if (!value.error.empty())
            return Fail("expression \"" + std::string(item) + "\": " + value.error);
        Append(std::to_string(value.value));
    }

    void AppendMacro(std::string_view name, int depth) {
        if (depth >= kMaxMacroDepth)
            return Fail("macros nested more than 16 deep at " + std::string(name));
        const std::optional<WideString> replacement =
            macros_ ? macros_(name) : std::optional<WideString>();
        if (!replacement) return Fail("no macro " + std::string(name));
        const std::string text = NarrowToBytes(*replacement);
        read_ += text.size();
        if (read_ > kMaxMacroTextBytes) return Fail("macro texts longer than 4 MiB in all");
        const size_t backslash = text.find('\\');
        if (backslash != std::string::npos)
            return Append(std::string_view(text).substr(0, backslash));
        Expand(text, depth + 1);
    }

    void Append(std::string_view bytes) {
        if (bytes.size() > kMaxCommandBytes - out_.size()) return Fail("longer than 64 KiB");
        out_.append(bytes);
    }

    void Fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
    }

    const MacroLookup& macros_;
    const StandardVariables& variables_;
    std::string out_;
    std::string error_;
    size_t items_ = 0;
    size_t read_ = 0;
};

}  // namespace

ExpandedCommand ExpandCommand(std::string_view text, const MacroLookup& macros,
                              const StandardVariables& variables) {
    return Expander(macros, variables).Run(text);
}

std::string NarrowToBytes(WideStringView text) {
    std::string bytes(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(text[i] & 0xFF);
    return bytes;
}

}  // namespace xlr
