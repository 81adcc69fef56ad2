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

// Version of the world's operating system. The extended record (dwOSVersionInfoSize
// of sizeof(OSVERSIONINFOEXW)) adds the service pack and product type.
typedef struct _OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;  // VER_NT_WORKSTATION 1, _DOMAIN_CONTROLLER 2, _SERVER 3
    BYTE wReserved;
} OSVERSIONINFOEXW, *POSVERSIONINFOEXW, *LPOSVERSIONINFOEXW;
typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *LPOSVERSIONINFOW;
constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr BYTE VER_NT_DOMAIN_CONTROLLER = 2;
constexpr BYTE VER_NT_SERVER = 3;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info);  // also takes an OSVERSIONINFOEXW

// Temporary files. GetTempPathW answers a directory that the C runtime can open
// files in as well (fopen of a path made from it works).
DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer);
UINT WINAPI GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName);
BOOL WINAPI DeleteFileW(LPCWSTR fileName);

// Time: the world's clock and time zone.
void WINAPI GetSystemTime(LPSYSTEMTIME time);
void WINAPI GetLocalTime(LPSYSTEMTIME time);
typedef struct _TIME_ZONE_INFORMATION TIME_ZONE_INFORMATION, *LPTIME_ZONE_INFORMATION;
BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* universal,
                                            LPSYSTEMTIME local);
LPWSTR WINAPI CharUpperW(LPWSTR text);
DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length);

}  // extern "C"
