// Kernel services: last error, process heap, atomic counters, modules, debugger
// output, environment, INI files, system and user information.
#pragma once

#include "windef.h"
#include "winerror.h"

extern "C" {

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);

// Process heap. Blocks are owned by the caller and returned with HeapFree.
constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;
HANDLE WINAPI GetProcessHeap();
LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID block);

LONG WINAPI InterlockedIncrement(LONG volatile* addend);
LONG WINAPI InterlockedDecrement(LONG volatile* addend);

// Modules: dlopen behind the Windows names. Paths are Windows paths (see world.h).
HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

// Goes to standard error only when XLRENDER_DEBUG is set in the process environment.
void WINAPI OutputDebugStringW(LPCWSTR text);
void WINAPI OutputDebugStringA(LPCSTR text);

DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
UINT WINAPI GetWindowsDirectoryW(LPWSTR buffer, UINT size);
BOOL WINAPI GetUserNameW(LPWSTR buffer, LPDWORD size);
BOOL WINAPI GetComputerNameW(LPWSTR buffer, LPDWORD size);

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                                      LPWSTR returned, DWORD size, LPCWSTR fileName);
BOOL WINAPI WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value,
                                       LPCWSTR fileName);

int WINAPI lstrlenW(LPCWSTR text);
LPWSTR WINAPI CharUpperW(LPWSTR text);
DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length);

}  // extern "C"
