// Version resources: the version record a file carries (VS_VERSIONINFO), read
// with GetFileVersionInfoW and queried with VerQueryValueW. The world holds the
// resources by the file's Windows path.
#pragma once

#include "windef.h"

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;

typedef struct tagVS_FIXEDFILEINFO {
    DWORD dwSignature;  // VS_FFI_SIGNATURE
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;  // high word: first part, low word: second part
    DWORD dwFileVersionLS;  // high word: third part, low word: fourth part
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
} VS_FIXEDFILEINFO;
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

extern "C" {

// The size of the file's version resource; 0 with ERROR_RESOURCE_TYPE_NOT_FOUND
// when the file has none. `handle` is set to 0.
DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR fileName, LPDWORD handle);
// Copies at most `size` bytes of the resource into `data`.
BOOL WINAPI GetFileVersionInfoW(LPCWSTR fileName, DWORD handle, DWORD size, LPVOID data);
// Finds a value in a resource that GetFileVersionInfoW copied: "\" the fixed
// record, "\VarFileInfo\Translation" the translations (pairs of WORDs),
// "\StringFileInfo\040904E4\FileDescription" a string (length in characters,
// terminator included). `buffer` points into the block.
BOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length);

}  // extern "C"
