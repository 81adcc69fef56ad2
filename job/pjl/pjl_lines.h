// PJL lines as the job header carries them: a command, an optional value in
// double quotes, and a line feed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace xlr {

// The longest line the plug-in sends, line feed included: lines are composed
// in 1,000-byte buffers that keep a terminator.
inline constexpr size_t kPjlLineLimit = 999;

// `text` and a line feed. A text too long for the limit is cut (at a UTF-8
// character boundary) so that the line still ends with its line feed.
std::string PjlLine(std::string_view text);

// `command` followed by `value` in double quotes and a line feed, as in
// @PJL JOB NAME="Report". A value too long for the limit is cut (at a UTF-8
// character boundary) so that the closing quote and the line feed stay.
std::string QuotedPjlLine(std::string_view command, std::string_view value);

// The first bytes of `text`, at most `maxBytes`, never ending inside a UTF-8
// character: a cut name stays valid UTF-8.
std::string_view CutUtf8(std::string_view text, size_t maxBytes);

// The first `maxCharacters` characters of UTF-8 text.
std::string_view FirstUtf8Characters(std::string_view text, size_t maxCharacters);
size_t Utf8CharacterCount(std::string_view text);

}  // namespace xlr
