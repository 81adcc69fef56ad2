// Security identifiers, the process token and account lookup: what the plug-in
// needs to learn the domain of the user it runs for. The world's logged-on
// user (`userName`, `userDomain`, `userSid`) owns every process token, and
// LookupAccountSidW also knows the world's `accounts`.
#pragma once

#include "windef.h"
#include "winerror.h"

// A security identifier: revision 1, the count of sub-authorities, the 48-bit
// identifier authority (big-endian) and the sub-authorities.
typedef struct _SID_IDENTIFIER_AUTHORITY {
    BYTE Value[6];
} SID_IDENTIFIER_AUTHORITY;
typedef struct _SID {
    BYTE Revision;
    BYTE SubAuthorityCount;
    SID_IDENTIFIER_AUTHORITY IdentifierAuthority;
    DWORD SubAuthority[1];  // SubAuthorityCount of them
} SID;
typedef PVOID PSID;
constexpr BYTE SID_MAX_SUB_AUTHORITIES = 15;

typedef enum _SID_NAME_USE {
    SidTypeUser = 1,
    SidTypeGroup,
    SidTypeDomain,
    SidTypeAlias,
    SidTypeWellKnownGroup,
    SidTypeDeletedAccount,
    SidTypeInvalid,
    SidTypeUnknown,
    SidTypeComputer,
} SID_NAME_USE,
    *PSID_NAME_USE;

typedef struct _SID_AND_ATTRIBUTES {
    PSID Sid;
    DWORD Attributes;
} SID_AND_ATTRIBUTES;
typedef struct _TOKEN_USER {
    SID_AND_ATTRIBUTES User;
} TOKEN_USER, *PTOKEN_USER;

typedef enum _TOKEN_INFORMATION_CLASS { TokenUser = 1 } TOKEN_INFORMATION_CLASS;
constexpr DWORD TOKEN_QUERY = 0x0008;

typedef HANDLE HLOCAL;

extern "C" {

// The pseudo handle of the current process.
HANDLE WINAPI GetCurrentProcess();
BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
// TokenUser only: a TOKEN_USER followed by the user's SID. A buffer that is too
// small fails with ERROR_INSUFFICIENT_BUFFER and the size needed.
BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed);
BOOL WINAPI CloseHandle(HANDLE handle);

BOOL WINAPI IsValidSid(PSID sid);
DWORD WINAPI GetLengthSid(PSID sid);
// The account of a SID: name and domain, each copied when its buffer is large
// enough (sizes in characters with the terminator, set to what is needed
// otherwise); ERROR_NONE_MAPPED for a SID no account has.
BOOL WINAPI LookupAccountSidW(LPCWSTR systemName, PSID sid, LPWSTR name, LPDWORD nameSize,
                              LPWSTR domain, LPDWORD domainSize, PSID_NAME_USE use);

HLOCAL WINAPI LocalFree(HLOCAL memory);

}  // extern "C"
