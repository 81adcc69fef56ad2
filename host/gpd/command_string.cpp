#include "host/gpd/command_string.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include <printoem.h>

namespace xlhost {
namespace {

struct VariableName {
    std::string_view name;
    StandardVariable variable;
};

constexpr VariableName kVariableNames[] = {
    {"NumOfDataBytes", StandardVariable::kNumOfDataBytes},
    {"RasterDataWidthInBytes", StandardVariable::kRasterDataWidthInBytes},
    {"RasterDataHeightInPixels", StandardVariable::kRasterDataHeightInPixels},
    {"NumOfCopies", StandardVariable::kNumOfCopies},
    {"PrintDirInCCDegrees", StandardVariable::kPrintDirInCCDegrees},
    {"DestX", StandardVariable::kDestX},
    {"DestY", StandardVariable::kDestY},
    {"DestXRel", StandardVariable::kDestXRel},
    {"DestYRel", StandardVariable::kDestYRel},
    {"LinefeedSpacing", StandardVariable::kLinefeedSpacing},
    {"RectXSize", StandardVariable::kRectXSize},
    {"RectYSize", StandardVariable::kRectYSize},
    {"GrayPercentage", StandardVariable::kGrayPercentage},
    {"NextFontID", StandardVariable::kNextFontID},
    {"NextGlyph", StandardVariable::kNextGlyph},
    {"PhysPaperLength", StandardVariable::kPhysPaperLength},
    {"PhysPaperWidth", StandardVariable::kPhysPaperWidth},
    {"FontHeight", StandardVariable::kFontHeight},
    {"FontWidth", StandardVariable::kFontWidth},
    {"FontMaxWidth", StandardVariable::kFontMaxWidth},
    {"FontBold", StandardVariable::kFontBold},
    {"FontItalic", StandardVariable::kFontItalic},
    {"FontUnderline", StandardVariable::kFontUnderline},
    {"FontStrikeThru", StandardVariable::kFontStrikeThru},
    {"CurrentFontID", StandardVariable::kCurrentFontID},
    {"TextYRes", StandardVariable::kTextYRes},
    {"TextXRes", StandardVariable::kTextXRes},
    {"GraphicsYRes", StandardVariable::kGraphicsYRes},
    {"GraphicsXRes", StandardVariable::kGraphicsXRes},
    {"Rop3", StandardVariable::kRop3},
    {"RedValue", StandardVariable::kRedValue},
    {"GreenValue", StandardVariable::kGreenValue},
    {"BlueValue", StandardVariable::kBlueValue},
    {"PaletteIndexToProgram", StandardVariable::kPaletteIndexToProgram},
    {"CurrentPaletteIndex", StandardVariable::kCurrentPaletteIndex},
    {"PatternBrushType", StandardVariable::kPatternBrushType},
    {"PatternBrushID", StandardVariable::kPatternBrushID},
    {"PatternBrushSize", StandardVariable::kPatternBrushSize},
    {"CursorOriginX", StandardVariable::kCursorOriginX},
    {"CursorOriginY", StandardVariable::kCursorOriginY},
    {"PageNumber", StandardVariable::kPageNumber},
};
// The numbers are those of DrvGetStandardVariable.
static_assert(static_cast<DWORD>(StandardVariable::kNumOfCopies) == SVI_COPIES);
static_assert(static_cast<DWORD>(StandardVariable::kPhysPaperWidth) == SVI_PHYSPAPERWIDTH);
static_assert(static_cast<DWORD>(StandardVariable::kTextXRes) == SVI_TEXTXRES);
// The table is indexed by the enumeration's value.
static_assert(kVariableNames[26].variable == StandardVariable::kTextXRes);
static_assert(static_cast<size_t>(StandardVariable::kPageNumber) + 1 == std::size(kVariableNames));

constexpr ParameterFormat kFormats[] = {ParameterFormat::kDecimal, ParameterFormat::kSignedDecimal,
                                        ParameterFormat::kByte, ParameterFormat::kWordLsbFirst,
                                        ParameterFormat::kWordMsbFirst};
// Formats of the full syntax that this host does not write.
constexpr std::string_view kUnsupportedFormats = "fCqgnv";

// Literal numbers in expressions and limits stay within 32 bits, as Unidrv's do.
constexpr std::int64_t kLargestLiteral = std::numeric_limits<std::int32_t>::max();
constexpr int kDeepestNesting = 32;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Quoted(char c) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        return std::string("byte 0x") + kDigits[byte >> 4] + kDigits[byte & 15];
    }
    return std::string("'") + c + "'";
}

// A name as quoted in a message: long ones are cut.
std::string Excerpt(std::string_view text) {
    constexpr size_t kLongest = 40;
    return text.size() <= kLongest ? std::string(text)
                                   : std::string(text.substr(0, kLongest)) + "...";
}

// Reads the expression between a parameter's braces into postfix steps:
//   sum     = product { ("+" | "-") product }
//   product = factor { ("*" | "/" | "MOD") factor }
//   factor  = number | variable | "(" sum ")" | "-" factor
class ExpressionParser {
  public:
    ExpressionParser(std::string_view text, std::vector<ExpressionStep>& out, std::string& message)
        : text_(text), out_(out), message_(message) {}

    StringStatus Parse() {
        if (!ParseSum()) return status_;
        SkipBlanks();
        if (pos_ < text_.size()) Fail("unexpected " + Quoted(text_[pos_]) + " in the expression");
        return status_;
    }

  private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }

    bool Fail(std::string message, StringStatus status = StringStatus::kMalformed) {
        if (status_ == StringStatus::kOk) {
            status_ = status;
            message_ = std::move(message);
        }
        return false;
    }

    std::string_view PeekName() {
        SkipBlanks();
        size_t end = pos_;
        if (end < text_.size() && IsNameStart(text_[end]))
            while (end < text_.size() && IsNameChar(text_[end])) ++end;
        return text_.substr(pos_, end - pos_);
    }

    bool ParseSum() {
        if (!ParseProduct()) return false;
        for (;;) {
            SkipBlanks();
            if (pos_ >= text_.size()) return true;
            const char op = text_[pos_];
            if (op != '+' && op != '-') return true;
            ++pos_;
            if (!ParseProduct()) return false;
            Push(op == '+' ? ExpressionStep::Kind::kAdd : ExpressionStep::Kind::kSubtract);
        }
    }

    bool ParseProduct() {
        if (!ParseFactor()) return false;
        for (;;) {
            SkipBlanks();
            if (pos_ >= text_.size()) return true;
            ExpressionStep::Kind kind;
            if (text_[pos_] == '*') {
                kind = ExpressionStep::Kind::kMultiply;
                ++pos_;
            } else if (text_[pos_] == '/') {
                kind = ExpressionStep::Kind::kDivide;
                ++pos_;
            } else if (PeekName() == "MOD") {
                kind = ExpressionStep::Kind::kModulo;
                pos_ += 3;
            } else {
                return true;
            }
            if (!ParseFactor()) return false;
            Push(kind);
        }
    }

    bool ParseFactor() {
        SkipBlanks();
        if (pos_ >= text_.size()) return Fail("the expression ends too early");
        if (++depth_ > kDeepestNesting) return Fail("the expression is nested too deeply");
        const bool result = ParseFactorBody();
        --depth_;
        return result;
    }

    bool ParseFactorBody() {
        const char c = text_[pos_];
        if (c == '(') {
            ++pos_;
            if (!ParseSum()) return false;
            SkipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ')')
                return Fail("missing ')' in the expression");
            ++pos_;
            return true;
        }
        if (c == '-') {
            ++pos_;
            if (!ParseFactor()) return false;
            Push(ExpressionStep::Kind::kNegate);
            return true;
        }
        if (IsDigit(c)) {
            size_t end = pos_;
            while (end < text_.size() && IsDigit(text_[end])) ++end;
            std::int64_t value = 0;
            const auto [ptr, ec] = std::from_chars(text_.data() + pos_, text_.data() + end, value);
            if (ec != std::errc() || value > kLargestLiteral)
                return Fail("the number " + Excerpt(text_.substr(pos_, end - pos_)) +
                            " is too large");
            pos_ = end;
            ExpressionStep step;
            step.kind = ExpressionStep::Kind::kNumber;
            step.number = value;
            out_.push_back(step);
            return true;
        }
        const std::string_view name = PeekName();
        if (name.empty()) return Fail("expected a number or a standard variable, not " + Quoted(c));
        pos_ += name.size();
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '(')
            return Fail("the function " + Excerpt(name) + "() is not supported",
                        StringStatus::kUnsupported);
        const auto variable = StandardVariableFromName(name);
        if (!variable)
            return Fail("'" + Excerpt(name) + "' is not a standard variable",
                        StringStatus::kUnsupported);
        ExpressionStep step;
        step.kind = ExpressionStep::Kind::kVariable;
        step.variable = *variable;
        out_.push_back(step);
        return true;
    }

    void Push(ExpressionStep::Kind kind) {
        ExpressionStep step;
        step.kind = kind;
        out_.push_back(step);
    }

    std::string_view text_;
    size_t pos_ = 0;
    int depth_ = 0;
    std::vector<ExpressionStep>& out_;
    std::string& message_;
    StringStatus status_ = StringStatus::kOk;
};

// Reads "[low, high]" at `pos`; returns false with `message` on a malformed range.
bool ParseLimits(std::string_view value, size_t& pos, CommandParameter& parameter,
                 std::string& message) {
    const size_t close = value.find(']', pos);
    if (close == std::string_view::npos) {
        message = "missing ']' after the parameter's limits";
        return false;
    }
    const std::string_view inside = value.substr(pos + 1, close - pos - 1);
    const size_t comma = inside.find(',');
    auto number = [](std::string_view text) -> std::optional<std::int64_t> {
        while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
        std::int64_t result = 0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
        if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
            return std::nullopt;
        if (result > kLargestLiteral || result < -kLargestLiteral) return std::nullopt;
        return result;
    };
    const auto low =
        comma == std::string_view::npos ? std::nullopt : number(inside.substr(0, comma));
    const auto high =
        comma == std::string_view::npos ? std::nullopt : number(inside.substr(comma + 1));
    if (!low || !high || *low > *high) {
        message = "the limits [" + Excerpt(inside) + "] are not [low, high]";
        return false;
    }
    parameter.low = low;
    parameter.high = high;
    pos = close + 1;
    return true;
}

// Reads a parameter reference; `pos` is at the format letter after '%'.
StringStatus ParseParameter(std::string_view quoted, size_t& pos, CommandParameter& parameter,
                            std::string& message) {
    // Limits and braces must close before the next quoted string begins.
    const std::string_view value = quoted.substr(0, std::min(quoted.find('"', pos), quoted.size()));
    const size_t start = pos - 1;
    if (pos >= value.size()) {
        message = "'%' is not followed by a parameter format";
        return StringStatus::kMalformed;
    }
    const char letter = value[pos];
    bool known = false;
    for (ParameterFormat format : kFormats)
        if (static_cast<char>(format) == letter) {
            parameter.format = format;
            known = true;
        }
    if (!known) {
        if (kUnsupportedFormats.find(letter) != std::string_view::npos) {
            message = std::string("the parameter format %") + letter + " is not supported";
            return StringStatus::kUnsupported;
        }
        message = "'%' is followed by " + Quoted(letter) + ", not a parameter format";
        return StringStatus::kMalformed;
    }
    ++pos;
    if (pos < value.size() && value[pos] == '[' && !ParseLimits(value, pos, parameter, message))
        return StringStatus::kMalformed;
    if (pos >= value.size() || value[pos] != '{') {
        message = std::string("the parameter %") + letter + " needs an expression in braces";
        return StringStatus::kMalformed;
    }
    const size_t close = value.find('}', pos);
    if (close == std::string_view::npos) {
        message = "missing '}' after the parameter's expression";
        return StringStatus::kMalformed;
    }
    const StringStatus status =
        ExpressionParser(value.substr(pos + 1, close - pos - 1), parameter.expression, message)
            .Parse();
    pos = close + 1;
    parameter.source = std::string(value.substr(start, pos - start));
    return status;
}

bool Checked(ExpressionStep::Kind kind, std::int64_t a, std::int64_t b, std::int64_t& result,
             std::string& error) {
    bool overflow = false;
    switch (kind) {
        case ExpressionStep::Kind::kAdd:
            overflow = __builtin_add_overflow(a, b, &result);
            break;
        case ExpressionStep::Kind::kSubtract:
            overflow = __builtin_sub_overflow(a, b, &result);
            break;
        case ExpressionStep::Kind::kMultiply:
            overflow = __builtin_mul_overflow(a, b, &result);
            break;
        case ExpressionStep::Kind::kDivide:
        case ExpressionStep::Kind::kModulo:
            if (b == 0) {
                error = "division by zero";
                return false;
            }
            overflow = a == std::numeric_limits<std::int64_t>::min() && b == -1;
            if (!overflow) result = kind == ExpressionStep::Kind::kDivide ? a / b : a % b;
            break;
        default:
            break;
    }
    if (overflow) error = "the arithmetic overflows";
    return !overflow;
}

std::optional<std::int64_t> Evaluate(const CommandParameter& parameter,
                                     const StandardVariableValues& values, std::string& error) {
    std::vector<std::int64_t> stack;
    for (const ExpressionStep& step : parameter.expression) {
        switch (step.kind) {
            case ExpressionStep::Kind::kNumber:
                stack.push_back(step.number);
                break;
            case ExpressionStep::Kind::kVariable: {
                const auto value = values ? values(step.variable) : std::nullopt;
                if (!value) {
                    error = std::string(StandardVariableName(step.variable)) + " has no value here";
                    return std::nullopt;
                }
                stack.push_back(*value);
                break;
            }
            case ExpressionStep::Kind::kNegate:
                if (stack.empty() || stack.back() == std::numeric_limits<std::int64_t>::min()) {
                    error = "the arithmetic overflows";
                    return std::nullopt;
                }
                stack.back() = -stack.back();
                break;
            default: {
                if (stack.size() < 2) {
                    error = "the expression is incomplete";
                    return std::nullopt;
                }
                const std::int64_t b = stack.back();
                stack.pop_back();
                if (!Checked(step.kind, stack.back(), b, stack.back(), error)) return std::nullopt;
                break;
            }
        }
    }
    if (stack.size() != 1) {
        error = "the expression is incomplete";
        return std::nullopt;
    }
    return stack.back();
}

// Inside a string, "%" starts a parameter only when a format letter and its
// limits or expression follow; any other "%" is a percent sign, so that
// "<1B>%-12345X" needs no escape (though "%%" is read as one "%" as well).
bool StartsParameter(std::string_view value, size_t pos) {
    if (value.size() - pos < 2) return false;
    const char letter = value[pos];
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return isLetter && (value[pos + 1] == '{' || value[pos + 1] == '[');
}

// Reads a parameter (at the letter after '%') into `out`, after the literal
// bytes collected so far.
StringStatus AddParameter(std::string_view value, size_t& pos, std::string& literal,
                          CommandString& out, std::string& message) {
    if (!literal.empty()) out.pieces.emplace_back(std::move(literal));
    literal.clear();
    CommandParameter parameter;
    const StringStatus status = ParseParameter(value, pos, parameter, message);
    if (status == StringStatus::kOk) out.pieces.emplace_back(std::move(parameter));
    return status;
}

bool IsPlainText(unsigned char c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '<';
}

}  // namespace

std::optional<StandardVariable> StandardVariableFromName(std::string_view name) {
    for (const VariableName& entry : kVariableNames)
        if (entry.name == name) return entry.variable;
    return std::nullopt;
}

std::string_view StandardVariableName(StandardVariable variable) {
    const auto index = static_cast<size_t>(variable);
    return index < std::size(kVariableNames) ? kVariableNames[index].name : std::string_view("?");
}

bool CommandString::HasParameters() const {
    for (const auto& piece : pieces)
        if (std::holds_alternative<CommandParameter>(piece)) return true;
    return false;
}

std::string CommandString::Display() const {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "\"";
    for (const auto& piece : pieces) {
        if (const auto* parameter = std::get_if<CommandParameter>(&piece)) {
            text += parameter->source;
            continue;
        }
        // Runs of fewer than three printable bytes are shown in hex: amid binary
        // data they are numbers and operators, not text.
        const std::string& bytes = std::get<std::string>(piece);
        bool inHex = false;
        for (size_t i = 0; i < bytes.size();) {
            size_t run = i;
            while (run < bytes.size() && IsPlainText(static_cast<unsigned char>(bytes[run]))) ++run;
            if (run - i >= 3) {
                if (inHex) text += '>';
                inHex = false;
                for (; i < run; ++i) text += bytes[i] == '%' ? "%%" : std::string(1, bytes[i]);
                continue;
            }
            const auto byte = static_cast<unsigned char>(bytes[i++]);
            text += inHex ? ' ' : '<';
            inHex = true;
            text += kDigits[byte >> 4];
            text += kDigits[byte & 15];
        }
        if (inHex) text += '>';
    }
    return text + "\"";
}

StringStatus DecodeQuotedValue(std::string_view value, bool parameters, CommandString& out,
                               std::string& message) {
    out.pieces.clear();
    std::string literal;
    bool anyPart = false;
    size_t pos = 0;
    for (;;) {
        while (pos < value.size() && IsBlank(value[pos])) ++pos;
        if (pos >= value.size()) break;
        if (value[pos] == '%' && parameters) {
            anyPart = true;
            ++pos;
            const StringStatus status = AddParameter(value, pos, literal, out, message);
            if (status != StringStatus::kOk) return status;
            continue;
        }
        if (value[pos] != '"') {
            message = "expected a quoted string, not " + Quoted(value[pos]);
            return StringStatus::kMalformed;
        }
        anyPart = true;
        ++pos;
        for (;;) {
            if (pos >= value.size()) {
                message = "the string has no closing '\"'";
                return StringStatus::kMalformed;
            }
            const char c = value[pos++];
            if (c == '"') break;
            if (c == '<') {
                int digits = 0;
                int byte = 0;
                for (;;) {
                    if (pos >= value.size() || value[pos] == '"') {
                        message = "a <hex> section has no closing '>'";
                        return StringStatus::kMalformed;
                    }
                    const char h = value[pos++];
                    if (h == '>') break;
                    if (IsBlank(h)) continue;
                    const int digit = HexValue(h);
                    if (digit < 0) {
                        message = Quoted(h) + " in a <hex> section is not a hex digit";
                        return StringStatus::kMalformed;
                    }
                    byte = byte * 16 + digit;
                    if (++digits % 2 == 0) {
                        literal.push_back(static_cast<char>(byte));
                        byte = 0;
                    }
                }
                if (digits % 2 != 0) {
                    message = "a <hex> section has an odd number of hex digits";
                    return StringStatus::kMalformed;
                }
                continue;
            }
            if (c == '%' && parameters && pos < value.size() && value[pos] == '%') {
                literal.push_back('%');
                ++pos;
                continue;
            }
            if (c == '%' && parameters && StartsParameter(value, pos)) {
                const StringStatus status = AddParameter(value, pos, literal, out, message);
                if (status != StringStatus::kOk) return status;
                continue;
            }
            literal.push_back(c);
        }
    }
    if (!anyPart) {
        message = "expected a quoted string";
        return StringStatus::kMalformed;
    }
    if (!literal.empty()) out.pieces.emplace_back(std::move(literal));
    return StringStatus::kOk;
}

StringStatus DecodeQuotedText(std::string_view value, std::string& out, std::string& message) {
    CommandString decoded;
    const StringStatus status = DecodeQuotedValue(value, false, decoded, message);
    out.clear();
    for (const auto& piece : decoded.pieces) out += std::get<std::string>(piece);
    return status;
}

std::optional<std::string> ExpandCommand(const CommandString& command,
                                         const StandardVariableValues& values, std::string& error) {
    std::string bytes;
    for (const auto& piece : command.pieces) {
        if (const auto* literal = std::get_if<std::string>(&piece)) {
            bytes += *literal;
            continue;
        }
        const CommandParameter& parameter = std::get<CommandParameter>(piece);
        auto value = Evaluate(parameter, values, error);
        if (!value) {
            error = parameter.source + ": " + error;
            return std::nullopt;
        }
        if (parameter.low && *value < *parameter.low) value = *parameter.low;
        if (parameter.high && *value > *parameter.high) value = *parameter.high;
        switch (parameter.format) {
            case ParameterFormat::kDecimal:
                bytes += std::to_string(*value);
                break;
            case ParameterFormat::kSignedDecimal:
                bytes += (*value >= 0 ? "+" : "") + std::to_string(*value);
                break;
            case ParameterFormat::kByte:
                if (*value < 0 || *value > 0xFF) {
                    error =
                        parameter.source + ": " + std::to_string(*value) + " does not fit one byte";
                    return std::nullopt;
                }
                bytes.push_back(static_cast<char>(*value));
                break;
            case ParameterFormat::kWordLsbFirst:
            case ParameterFormat::kWordMsbFirst: {
                if (*value < -0x8000 || *value > 0xFFFF) {
                    error =
                        parameter.source + ": " + std::to_string(*value) + " does not fit 16 bits";
                    return std::nullopt;
                }
                const auto word = static_cast<std::uint16_t>(*value);
                const char low = static_cast<char>(word & 0xFF);
                const char high = static_cast<char>(word >> 8);
                if (parameter.format == ParameterFormat::kWordLsbFirst) {
                    bytes.push_back(low);
                    bytes.push_back(high);
                } else {
                    bytes.push_back(high);
                    bytes.push_back(low);
                }
                break;
            }
        }
    }
    return bytes;
}

}  // namespace xlhost
