// Resources of a module: string tables.
#pragma once

#include "windef.h"

extern "C" {

// Copies string `id` of the module's string table into `buffer` (at most
// size - 1 characters, always terminated) and returns its length; 0 when the
// module has no such string (ERROR_RESOURCE_NAME_NOT_FOUND).
int WINAPI LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size);

}  // extern "C"
