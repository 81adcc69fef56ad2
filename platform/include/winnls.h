// National language support: code pages and locale information.
#pragma once

#include "windef.h"

typedef DWORD LCID;
typedef DWORD LCTYPE;
typedef WORD LANGID;

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCTYPE LOCALE_ICOUNTRY = 0x00000005;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x0000001F;
constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;

extern "C" {

// CP_ACP is the world's ANSI code page (1252 unless configured otherwise).
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                               LPSTR narrow, int narrowSize, LPCSTR defaultChar,
                               PBOOL usedDefaultChar);
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowCount,
                               LPWSTR wide, int wideSize);
UINT WINAPI GetACP();

// LOCALE_ICOUNTRY and LOCALE_SSHORTDATE of the world's user locale.
int WINAPI GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size);
LANGID WINAPI GetUserDefaultUILanguage();
LANGID WINAPI GetUserDefaultLangID();

}  // extern "C"
