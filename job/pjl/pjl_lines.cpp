#include "job/pjl/pjl_lines.h"

namespace xlr {
namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string_view CutUtf8(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    size_t end = maxBytes;
    while (end > 0 && IsContinuationByte(text[end])) --end;
    return text.substr(0, end);
}

std::string_view FirstUtf8Characters(std::string_view text, size_t maxCharacters) {
    size_t end = 0;
    for (size_t characters = 0; end < text.size(); ++end) {
        if (IsContinuationByte(text[end])) continue;
        if (characters++ == maxCharacters) break;
    }
    return text.substr(0, end);
}

size_t Utf8CharacterCount(std::string_view text) {
    size_t count = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++count;
    return count;
}

std::string PjlLine(std::string_view text) {
    std::string line(CutUtf8(text, kPjlLineLimit - 1));
    line += '\n';
    return line;
}

std::string QuotedPjlLine(std::string_view command, std::string_view value) {
    constexpr size_t kQuotesAndLineFeed = 3;
    std::string line(CutUtf8(command, kPjlLineLimit - kQuotesAndLineFeed));
    line += '"';
    line += CutUtf8(value, kPjlLineLimit - kQuotesAndLineFeed - line.size() + 1);
    line += "\"\n";
    return line;
}

}  // namespace xlr
