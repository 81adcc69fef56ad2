#include "pclxl/reader/stream_header.h"

#include <algorithm>
#include <string_view>

namespace xlr::reader {
namespace {

constexpr std::string_view kLanguage = " HP-PCL XL";
// A header longer than this has lost its line end.
constexpr size_t kLongestHeader = 1024;

bool IsBinding(uint8_t c) {
    return c == ')' || c == '(' || c == '\'';
}

bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool StartsStreamHeader(std::span<const uint8_t> bytes, size_t offset) {
    if (offset >= bytes.size() || !IsBinding(bytes[offset])) return false;
    if (kLanguage.size() > bytes.size() - offset - 1) return false;
    return std::equal(kLanguage.begin(), kLanguage.end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(offset) + 1);
}

std::variant<StreamHeader, ReadError> ReadStreamHeader(std::span<const uint8_t> bytes,
                                                       size_t offset) {
    if (!StartsStreamHeader(bytes, offset)) return ReadError{offset, "not a PCL XL stream header"};
    const size_t window = std::min(bytes.size() - offset, kLongestHeader);
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto newline =
        std::find(begin, begin + static_cast<std::ptrdiff_t>(window), uint8_t{'\n'});
    if (newline == begin + static_cast<std::ptrdiff_t>(window))
        return ReadError{offset, "the stream header line has no line end"};

    StreamHeader header;
    header.offset = offset;
    header.length = static_cast<size_t>(newline - begin) + 1;
    header.line.assign(begin, newline);
    if (!header.line.empty() && header.line.back() == '\r') header.line.pop_back();
    header.binding = header.line[0];
    if (header.binding == '\'')
        return ReadError{offset, "the stream uses the ASCII binding, which is not supported"};
    header.bigEndian = header.binding == '(';

    // After " HP-PCL XL": ";class;revision[;comment]".
    std::string_view rest = std::string_view(header.line).substr(1 + kLanguage.size());
    if (rest.empty() || rest[0] != ';')
        return ReadError{offset, "the stream header has no protocol class"};
    rest.remove_prefix(1);
    const size_t classEnd = rest.find(';');
    if (classEnd == std::string_view::npos)
        return ReadError{offset, "the stream header has no revision"};
    header.protocolClass = rest.substr(0, classEnd);
    rest.remove_prefix(classEnd + 1);
    const size_t revisionEnd = rest.find(';');
    header.revision = rest.substr(0, revisionEnd);
    if (revisionEnd != std::string_view::npos) header.comment = rest.substr(revisionEnd + 1);
    if (!IsNumber(header.protocolClass) || !IsNumber(header.revision))
        return ReadError{offset, "the stream header's protocol class and revision must be numbers"};
    return header;
}

}  // namespace xlr::reader
