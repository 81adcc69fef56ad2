// Closing kernel object handles (here: files of CreateFileW).
#pragma once

#include "windef.h"

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

extern "C" {

BOOL WINAPI CloseHandle(HANDLE object);

}  // extern "C"
