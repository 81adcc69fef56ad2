// Loading a module as a data file, to read its resources without running it.
#pragma once

#include "winbase.h"

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

extern "C" {

// With LOAD_LIBRARY_AS_DATAFILE: the module's resources as the world holds them
// (`stringResources`, by the module's Windows path); ERROR_MOD_NOT_FOUND when
// the world has none for it. Without flags: LoadLibraryW. Free with FreeLibrary.
HMODULE WINAPI LoadLibraryExW(LPCWSTR fileName, HANDLE reserved, DWORD flags);

}  // extern "C"
