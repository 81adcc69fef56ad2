// XSL patterns differ from XPath 1.0 in three ways that matter here: comparison
// operators may be written as $eq$, $ieq$ ... (the "i" forms ignore case),
// boolean operators as $and$ and $or$, and a bare number in brackets is a
// position counted from 0. The pattern is split into words, literals, operators
// and bracketed groups; a case-blind comparison becomes a comparison of both
// operands passed through translate().
#include "xsl_pattern.h"

#include <vector>

namespace xlplatform {
namespace {

constexpr size_t kMaxPatternLength = 4096;
constexpr int kMaxNesting = 32;
constexpr std::string_view kFoldCase =
    ",'ABCDEFGHIJKLMNOPQRSTUVWXYZ','abcdefghijklmnopqrstuvwxyz')";

struct Token {
    enum Kind { kWord, kSpace, kLiteral, kOperator, kGroup } kind;
    std::string text;  // the word, the quoted literal, the operator's name or the group's opener
    std::vector<Token> children;  // a group's contents
    char close = 0;
};

Token Leaf(Token::Kind kind, std::string text) {
    Token token{kind, std::move(text), {}, 0};
    return token;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool EndsWord(char c) {
    return IsSpace(c) || c == '[' || c == ']' || c == '(' || c == ')' || c == '"' || c == '\'' ||
           c == '$';
}

std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

class Lexer {
  public:
    explicit Lexer(std::string_view pattern) : text_(pattern) {}

    // Reads tokens up to `close` (the end of the text when 0).
    bool Read(std::vector<Token>& out, char close, int depth) {
        if (depth > kMaxNesting) return false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (close != 0 && c == close) {
                ++pos_;
                return true;
            }
            if (c == ']' || c == ')') return false;
            if (c == '[' || c == '(') {
                ++pos_;
                Token group{Token::kGroup, std::string(1, c), {}, c == '[' ? ']' : ')'};
                if (!Read(group.children, group.close, depth + 1)) return false;
                out.push_back(std::move(group));
            } else if (c == '"' || c == '\'') {
                const size_t end = text_.find(c, pos_ + 1);
                if (end == std::string_view::npos) return false;
                out.push_back(
                    Leaf(Token::kLiteral, std::string(text_.substr(pos_, end - pos_ + 1))));
                pos_ = end + 1;
            } else if (c == '$') {
                const size_t end = text_.find('$', pos_ + 1);
                if (end == std::string_view::npos) return false;
                out.push_back(
                    Leaf(Token::kOperator, LowerAscii(text_.substr(pos_ + 1, end - pos_ - 1))));
                pos_ = end + 1;
            } else if (IsSpace(c)) {
                while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
                out.push_back(Leaf(Token::kSpace, " "));
            } else {
                const size_t start = pos_;
                while (pos_ < text_.size() && !EndsWord(text_[pos_])) ++pos_;
                out.push_back(Leaf(Token::kWord, std::string(text_.substr(start, pos_ - start))));
            }
        }
        return close == 0;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

using Tokens = std::vector<Token>;

bool RenderSequence(const Tokens& tokens, size_t begin, size_t end, std::string& out);

const char* PlainOperator(const std::string& name) {
    struct Mapping {
        std::string_view name;
        const char* xpath;
    };
    static constexpr Mapping kOperators[] = {
        {"eq", "="}, {"ne", "!="}, {"lt", "<"},      {"le", "<="},
        {"gt", ">"}, {"ge", ">="}, {"and", " and "}, {"or", " or "},
    };
    for (const Mapping& op : kOperators)
        if (op.name == name) return op.xpath;
    return nullptr;
}

bool IsCaseBlind(const Token& token) {
    return token.kind == Token::kOperator && (token.text == "ieq" || token.text == "ine");
}

bool IsBoundary(const Token& token) {
    return (token.kind == Token::kOperator || token.kind == Token::kWord) &&
           (token.text == "and" || token.text == "or");
}

// "[3]" in a pattern is the fourth node.
bool RenderPosition(const Token& group, std::string& out) {
    if (group.close != ']') return false;
    std::string digits;
    for (const Token& token : group.children) {
        if (token.kind == Token::kSpace) continue;
        if (token.kind != Token::kWord || !digits.empty()) return false;
        digits = token.text;
    }
    if (digits.empty() || digits.size() > 9) return false;
    for (char c : digits)
        if (c < '0' || c > '9') return false;
    out += '[' + std::to_string(std::stol(digits) + 1) + ']';
    return true;
}

bool RenderPlain(const Tokens& tokens, size_t begin, size_t end, std::string& out) {
    for (size_t i = begin; i < end; ++i) {
        const Token& token = tokens[i];
        switch (token.kind) {
            case Token::kWord:
            case Token::kSpace:
            case Token::kLiteral:
                out += token.text;
                break;
            case Token::kOperator: {
                const char* xpath = PlainOperator(token.text);
                if (xpath == nullptr) return false;
                out += xpath;
                break;
            }
            case Token::kGroup:
                if (RenderPosition(token, out)) break;
                out += token.text;
                if (!RenderSequence(token.children, 0, token.children.size(), out)) return false;
                out += token.close;
                break;
        }
    }
    return true;
}

// An operand of a case-blind comparison: a literal is folded here, anything
// else by translate() when the expression runs.
bool RenderFolded(const Tokens& tokens, size_t begin, size_t end, std::string& out) {
    while (begin < end && tokens[begin].kind == Token::kSpace) ++begin;
    while (end > begin && tokens[end - 1].kind == Token::kSpace) --end;
    if (begin == end) return false;
    if (end - begin == 1 && tokens[begin].kind == Token::kLiteral) {
        out += LowerAscii(tokens[begin].text);
        return true;
    }
    out += "translate(";
    if (!RenderPlain(tokens, begin, end, out)) return false;
    out += kFoldCase;
    return true;
}

bool RenderClause(const Tokens& tokens, size_t begin, size_t end, std::string& out) {
    for (size_t i = begin; i < end; ++i) {
        if (!IsCaseBlind(tokens[i])) continue;
        if (!RenderFolded(tokens, begin, i, out)) return false;
        out += tokens[i].text == "ieq" ? "=" : "!=";
        return RenderFolded(tokens, i + 1, end, out);
    }
    return RenderPlain(tokens, begin, end, out);
}

// A sequence is a list of clauses joined by "and" and "or".
bool RenderSequence(const Tokens& tokens, size_t begin, size_t end, std::string& out) {
    size_t clause = begin;
    for (size_t i = begin; i <= end; ++i) {
        if (i < end && !IsBoundary(tokens[i])) continue;
        if (!RenderClause(tokens, clause, i, out)) return false;
        if (i < end)
            out += tokens[i].kind == Token::kWord ? tokens[i].text : PlainOperator(tokens[i].text);
        clause = i + 1;
    }
    return true;
}

}  // namespace

std::optional<std::string> XslPatternToXPath(std::string_view pattern) {
    if (pattern.empty() || pattern.size() > kMaxPatternLength) return std::nullopt;
    Tokens tokens;
    if (!Lexer(pattern).Read(tokens, 0, 0)) return std::nullopt;
    std::string xpath;
    if (!RenderSequence(tokens, 0, tokens.size(), xpath)) return std::nullopt;
    return xpath;
}

}  // namespace xlplatform
