// Wide text in the plug-in: UTF-16 strings of WCHAR, whatever type WCHAR is on
// the platform (every wide string and literal goes through these names and
// WSTR), and the conversions the plug-in needs, made with the Windows calls.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace xlr {

using WideString = std::basic_string<WCHAR>;
using WideStringView = std::basic_string_view<WCHAR>;

// UTF-8 through WideCharToMultiByte; empty when the text cannot be converted.
std::string ToUtf8(WideStringView text);

// Narrow text in a code page (CP_UTF8, CP_ACP); nothing when the conversion
// fails, an empty string for empty text.
std::optional<std::string> ToCodePage(WideStringView text, UINT codePage);
// Wide text from narrow text in a code page; empty when it cannot be converted.
WideString FromCodePage(std::string_view text, UINT codePage);

// Upper case by CharUpperBuffW's rule (the same on every machine).
WideString ToUpper(WideStringView text);

// The text of a fixed-size field of a record: up to its terminator, or the
// whole field when it has none.
template <size_t N>
WideStringView FieldText(const WCHAR (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length] != 0) ++length;
    return WideStringView(field, length);
}

// Text comparison without regard to case, as feature options are compared.
bool SameText(WideStringView a, WideStringView b);

}  // namespace xlr
