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

// Suspends the thread; the world's `sleep` replaces the wait when set.
void WINAPI Sleep(DWORD milliseconds);

// Modules: dlopen behind the Windows names. Paths are Windows paths (see world.h);
// a file name without an extension gets ".so", as on Windows it gets ".dll".
HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
// With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS the "name" is an address inside
// the loaded module wanted; with _UNCHANGED_REFCOUNT the module's load count
// is left as it was. Only those two flags are known.
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT = 0x2;
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS = 0x4;
BOOL WINAPI GetModuleHandleExW(DWORD flags, LPCWSTR moduleName, HMODULE* module);

// The reasons the loader gives DllMain.
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;

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
constexpr WORD VER_SUITE_SINGLEUSERTS = 0x0100;
constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr BYTE VER_NT_DOMAIN_CONTROLLER = 2;
constexpr BYTE VER_NT_SERVER = 3;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info);  // also takes an OSVERSIONINFOEXW

// Temporary files. GetTempPathW answers a directory that the C runtime can open
// files in as well (fopen of a path made from it works). GetTempFileNameW
// writes at most MAX_PATH characters; with unique 0 it creates the file.
DWORD WINAPI GetTempPathW(DWORD size, LPWSTR buffer);
UINT WINAPI GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName);
BOOL WINAPI DeleteFileW(LPCWSTR fileName);

// Time: the world's clock and time zone. A FILETIME counts 100-nanosecond
// intervals since 1 January 1601 (UTC).
void WINAPI GetSystemTime(LPSYSTEMTIME time);
void WINAPI GetLocalTime(LPSYSTEMTIME time);
void WINAPI GetSystemTimeAsFileTime(FILETIME* time);
BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
BOOL WINAPI SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);
// UTC = local time + Bias (minutes); the standard-time bias adds to it.
typedef struct _TIME_ZONE_INFORMATION {
    LONG Bias;
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
} TIME_ZONE_INFORMATION, *PTIME_ZONE_INFORMATION, *LPTIME_ZONE_INFORMATION;
static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);
// A null zone is the world's time zone. Daylight-saving rules of a given zone
// are not applied: its standard time is used all year.
BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone,
                                            const SYSTEMTIME* universal, LPSYSTEMTIME local);
LPWSTR WINAPI CharUpperW(LPWSTR text);
DWORD WINAPI CharUpperBuffW(LPWSTR text, DWORD length);

}  // extern "C"
