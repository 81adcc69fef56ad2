// Security identifiers in their text form ("S-1-5-21-...").
#pragma once

#include "securitybaseapi.h"

extern "C" {

// Parses the text form into a SID the caller frees with LocalFree;
// ERROR_INVALID_SID for text that is not one.
BOOL WINAPI ConvertStringSidToSidW(LPCWSTR text, PSID* sid);

}  // extern "C"
