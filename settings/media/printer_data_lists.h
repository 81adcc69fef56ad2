// Lists that the printer's installer records in printer data: a DWORD count
// value and a value with that many 32-bit numbers (or a text).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>
#include "settings/wide_text.h"

namespace xlr {

// Counts above this are not lists an installer writes; they are refused rather
// than allocated.
constexpr DWORD kMaxPrinterDataListEntries = 4096;

// The numbers of the list, read into a buffer of count × 4 bytes. Nothing when
// the count is missing, 0 or too large, or the list cannot be read. A list value
// shorter than its count gives only the numbers it holds.
std::optional<std::vector<uint32_t>> ReadPrinterDataList(HANDLE printer, WideStringView countName,
                                                         WideStringView listName);

// A DWORD value; nothing when it is missing or of another size.
std::optional<DWORD> ReadPrinterDataCount(HANDLE printer, WideStringView name);

// A UTF-16 text value, up to its terminator; nothing when it cannot be read or
// is larger than 64 KiB.
std::optional<WideString> ReadPrinterDataText(HANDLE printer, WideStringView name);

}  // namespace xlr
