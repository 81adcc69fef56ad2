// Wide text in the plug-in: UTF-16 strings of WCHAR, whatever type WCHAR is on
// the platform (every wide string and literal goes through these names and
// WSTR), and the conversions the plug-in needs, made with the Windows calls.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace xlr {

using WideString = std::basic_string<WCHAR>;
using WideStringView = std::basic_string_view<WCHAR>;

// UTF-8 through WideCharToMultiByte; empty when the text cannot be converted.
std::string ToUtf8(WideStringView text);

// Upper case by CharUpperBuffW's rule (the same on every machine).
WideString ToUpper(WideStringView text);

// Text comparison without regard to case, as feature options are compared.
bool SameText(WideStringView a, WideStringView b);

}  // namespace xlr
