#include "settings/wide_text.h"

#include <climits>

namespace xlr {

std::string ToUtf8(WideStringView text) {
    return ToCodePage(text, CP_UTF8).value_or(std::string());
}

std::optional<std::string> ToCodePage(WideStringView text, UINT codePage) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX) return std::nullopt;
    const int units = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::nullopt;
    std::string narrow(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(codePage, 0, text.data(), units, narrow.data(), bytes, nullptr,
                            nullptr) != bytes)
        return std::nullopt;
    return narrow;
}

WideString FromCodePage(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int bytes = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
    if (units <= 0) return {};
    WideString wide(static_cast<size_t>(units), 0);
    if (MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), units) != units)
        return {};
    return wide;
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
