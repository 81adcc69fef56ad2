// The printer's paper and media-type lists as the spooler's device
// capabilities answer them, with the retries that a busy spooler needs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

// Each read asks for the count, then for the list; a failing call is asked again
// up to four more times, 500 ms apart (Sleep, which the world may replace).
std::optional<std::vector<WideString>> BGetPaperSizeNames(LPCWSTR printer, LPCWSTR port,
                                                          const DEVMODEW* devmode);
std::optional<std::vector<WORD>> BGetPaperSizeIndices(LPCWSTR printer, LPCWSTR port,
                                                      const DEVMODEW* devmode);
std::optional<std::vector<WideString>> BGetMediaTypeNames(LPCWSTR printer, LPCWSTR port,
                                                          const DEVMODEW* devmode);
std::optional<std::vector<DWORD>> BGetMediaTypeIndices(LPCWSTR printer, LPCWSTR port,
                                                       const DEVMODEW* devmode);

// The level-2 printer name of an open printer; empty when it cannot be read.
WideString PrinterName(HANDLE printer);

}  // namespace xlr
