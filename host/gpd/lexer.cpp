#include "host/gpd/lexer.h"

namespace xlhost {
namespace {

constexpr size_t kLongestKeyword = 255;

bool IsKeywordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '?';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

std::string Describe(char c) {
    if (IsControl(c) || static_cast<unsigned char>(c) >= 0x80) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        const auto byte = static_cast<unsigned char>(c);
        return std::string("byte 0x") + kDigits[byte >> 4] + kDigits[byte & 15];
    }
    return std::string("'") + c + "'";
}

}  // namespace

GpdToken GpdLexer::Fail(std::string message) {
    finished_ = true;
    last_ = GpdToken{GpdTokenKind::kError, line_, "", std::move(message)};
    return last_;
}

void GpdLexer::SkipToLineEnd() {
    while (!AtEnd() && Peek() != '\n') ++pos_;
}

GpdToken GpdLexer::Next() {
    if (finished_) return last_;
    for (;;) {
        while (!AtEnd() && (IsSpace(Peek()) || Peek() == '\n')) {
            if (Peek() == '\n') ++line_;
            ++pos_;
        }
        if (AtEnd()) {
            finished_ = true;
            last_ = GpdToken{GpdTokenKind::kEnd, line_, "", ""};
            return last_;
        }
        const char c = Peek();
        if (c == '*' && Peek(1) == '%') {
            SkipToLineEnd();
            continue;
        }
        if (c == '{' || c == '}') {
            ++pos_;
            return GpdToken{c == '{' ? GpdTokenKind::kOpenBrace : GpdTokenKind::kCloseBrace, line_,
                            "", ""};
        }
        if (c == '+') return Fail("a continuation line ('+') must follow an entry");
        if (c != '*') return Fail("unexpected " + Describe(c) + "; entries begin with '*'");

        GpdToken token{GpdTokenKind::kEntry, line_, "", ""};
        ++pos_;
        const size_t start = pos_;
        while (!AtEnd() && IsKeywordChar(Peek())) ++pos_;
        if (pos_ == start) return Fail("'*' is not followed by a keyword");
        if (pos_ - start > kLongestKeyword) return Fail("a keyword is longer than 255 characters");
        token.keyword = std::string(text_.substr(start, pos_ - start));
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++pos_;
        if (Peek() != ':') return Fail("*" + token.keyword + " is not followed by ':'");
        ++pos_;
        if (!ReadValue(token)) return last_;
        return token;
    }
}

bool GpdLexer::ReadValue(GpdToken& token) {
    std::string value;
    for (;;) {
        while (!AtEnd()) {
            const char c = Peek();
            if (c == '\n' || c == '{' || c == '}' || c == '*') break;
            ++pos_;
            if (c == '"') {
                value += c;
                for (;;) {
                    if (AtEnd() || Peek() == '\n' || Peek() == '\r') {
                        Fail("the string has no closing '\"' on this line");
                        return false;
                    }
                    const char inside = Peek();
                    ++pos_;
                    if (IsControl(inside) && inside != '\t') {
                        Fail("a string holds the control character " + Describe(inside) +
                             "; write it as <hex>");
                        return false;
                    }
                    value += inside;
                    if (inside == '"') break;
                }
                continue;
            }
            if (IsSpace(c)) {
                value += ' ';
                continue;
            }
            if (IsControl(c)) {
                Fail("unexpected " + Describe(c));
                return false;
            }
            value += c;
        }
        if (!ContinuesOnNextLine()) break;
        value += ' ';
    }
    const size_t first = value.find_first_not_of(' ');
    const size_t last = value.find_last_not_of(' ');
    token.value =
        first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
    return true;
}

bool GpdLexer::ContinuesOnNextLine() {
    size_t p = pos_;
    if (p < text_.size() && text_[p] == '*' && p + 1 < text_.size() && text_[p + 1] == '%')
        while (p < text_.size() && text_[p] != '\n') ++p;
    if (p >= text_.size() || text_[p] != '\n') return false;
    ++p;
    while (p < text_.size() && IsSpace(text_[p])) ++p;
    if (p >= text_.size() || text_[p] != '+') return false;
    pos_ = p + 1;
    ++line_;
    return true;
}

}  // namespace xlhost
