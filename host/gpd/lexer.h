// Splits printer description text into its entries ("*Keyword: value") and the
// braces that open and close constructs. Comments ("*%" to the end of the line)
// are dropped; a line that begins with "+" continues the value of the entry
// before it. Several entries may share a line: a value ends at the end of the
// line, at a brace or at the next "*" outside quotes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xlhost {

enum class GpdTokenKind { kEntry, kOpenBrace, kCloseBrace, kEnd, kError };

struct GpdToken {
    GpdTokenKind kind = GpdTokenKind::kEnd;
    int line = 0;
    std::string keyword;  // kEntry: the name between "*" and ":"
    std::string value;    // kEntry: the value, trimmed; kError: what is wrong
};

class GpdLexer {
  public:
    explicit GpdLexer(std::string_view text) : text_(text) {}

    // The next token. After kEnd or kError every call returns that token again.
    GpdToken Next();

  private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(size_t ahead = 0) const {
        return ahead < text_.size() - pos_ ? text_[pos_ + ahead] : '\0';
    }
    void SkipToLineEnd();
    bool ReadValue(GpdToken& token);
    bool ContinuesOnNextLine();
    GpdToken Fail(std::string message);

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
    bool finished_ = false;
    GpdToken last_;
};

}  // namespace xlhost
