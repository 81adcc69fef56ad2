#include "settings/wide_text.h"

#include <climits>

namespace xlr {

std::string ToUtf8(WideStringView text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int units = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string utf8(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text.data(), units, utf8.data(), bytes, nullptr, nullptr) !=
        bytes)
        return {};
    return utf8;
}

WideString ToUpper(WideStringView text) {
    WideString upper(text);
    if (!upper.empty() && upper.size() <= ULONG_MAX)
        CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

bool SameText(WideStringView a, WideStringView b) {
    return a.size() == b.size() && ToUpper(a) == ToUpper(b);
}

}  // namespace xlr
