// The per-user store: values kept under the current user's key for the
// restricted user that the printer names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

// Reads a value of the store. A key or value that does not exist yet is made,
// the value as the single byte 0x01 (REG_BINARY); a key made by this call is
// answered as an empty value. Nothing when the printer names no restricted user
// or the key cannot be made or read.
std::optional<std::vector<BYTE>> ReadUserStoreValue(HANDLE printer, WideStringView subKey,
                                                    WideStringView valueName);

// Software\Corvane\<identifier>[\<subKey>], at most 259 units; empty if longer.
WideString UserStoreKeyPath(WideStringView restrictedUser, WideStringView subKey);

// The restricted user's identifier from printer data (key KXPresetRoot, value
// KXRestrictedUserGuid); empty when absent.
WideString RestrictedUserId(HANDLE printer);

}  // namespace xlr
