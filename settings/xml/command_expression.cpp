#include "settings/xml/command_expression.h"

#include <limits>

#include <printoem.h>

namespace xlr {
namespace {

struct NamedVariable {
    std::string_view name;
    DWORD index;
};
constexpr NamedVariable kVariables[] = {
    {"TextXRes", SVI_TEXTXRES},
    {"TextYRes", SVI_TEXTYRES},
    {"NumOfCopies", SVI_COPIES},
    {"PhysPaperWidth", SVI_PHYSPAPERWIDTH},
    {"PhysPaperLength", SVI_PHYSPAPERLENGTH},
};

// Parentheses and signs nest no deeper than this, so a hostile text cannot
// exhaust the stack.
constexpr int kMaxNesting = 64;

// Two's-complement wrapping, without the undefined behaviour of signed overflow.
int32_t Wrap(uint32_t bits) {
    return static_cast<int32_t>(bits);
}
int32_t Add(int32_t a, int32_t b) {
    return Wrap(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t Subtract(int32_t a, int32_t b) {
    return Wrap(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
int32_t Multiply(int32_t a, int32_t b) {
    return Wrap(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
int32_t Divide(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (a == std::numeric_limits<int32_t>::min() && b == -1) return a;
    return a / b;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

class Parser {
  public:
    Parser(std::string_view text, const StandardVariables& variables)
        : text_(text), variables_(variables) {}

    ExpressionValue Run() {
        ExpressionValue result;
        result.value = Sum(0);
        SkipBlanks();
        if (error_.empty() && pos_ < text_.size())
            Fail("unexpected '" + std::string(1, text_[pos_]) + "'");
        result.error = error_;
        if (!error_.empty()) result.value = 0;
        return result;
    }

  private:
    int32_t Sum(int depth) {
        int32_t value = Product(depth);
        while (error_.empty()) {
            const char op = Peek();
            if (op != '+' && op != '-') break;
            ++pos_;
            const int32_t right = Product(depth);
            value = op == '+' ? Add(value, right) : Subtract(value, right);
        }
        return value;
    }

    int32_t Product(int depth) {
        int32_t value = Factor(depth);
        while (error_.empty()) {
            const char op = Peek();
            if (op != '*' && op != '/') break;
            ++pos_;
            const int32_t right = Factor(depth);
            value = op == '*' ? Multiply(value, right) : Divide(value, right);
        }
        return value;
    }

    int32_t Factor(int depth) {
        if (depth > kMaxNesting) return Fail("nested too deeply");
        const char c = Peek();
        if (c == '-' || c == '+') {
            ++pos_;
            const int32_t operand = Factor(depth + 1);
            return c == '-' ? Subtract(0, operand) : operand;
        }
        if (c == '(') {
            ++pos_;
            const int32_t value = Sum(depth + 1);
            if (!error_.empty()) return 0;
            if (Peek() != ')') return Fail("missing ')'");
            ++pos_;
            return value;
        }
        if (IsDigit(c)) return Number();
        if (IsNameStart(c)) return Variable();
        return Fail(c == 0 ? "missing operand" : "unexpected '" + std::string(1, c) + "'");
    }

    int32_t Number() {
        uint32_t bits = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_]))
            bits = bits * 10 + static_cast<uint32_t>(text_[pos_++] - '0');
        return Wrap(bits);
    }

    int32_t Variable() {
        const size_t start = pos_;
        while (pos_ < text_.size() && (IsNameStart(text_[pos_]) || IsDigit(text_[pos_]))) ++pos_;
        const std::string_view name = text_.substr(start, pos_ - start);
        for (const NamedVariable& known : kVariables) {
            if (known.name != name) continue;
            const std::optional<int32_t> value =
                variables_ ? variables_(known.index) : std::optional<int32_t>();
            if (!value) return Fail("standard variable " + std::string(name) + " is not available");
            return *value;
        }
        return Fail("unknown name " + std::string(name));
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    // The next character after blanks; 0 at the end.
    char Peek() {
        SkipBlanks();
        return pos_ < text_.size() ? text_[pos_] : 0;
    }
    int32_t Fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return 0;
    }

    std::string_view text_;
    const StandardVariables& variables_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

ExpressionValue EvaluateExpression(std::string_view text, const StandardVariables& variables) {
    return Parser(text, variables).Run();
}

}  // namespace xlr
