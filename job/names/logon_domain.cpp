#include "job/names/logon_domain.h"

#include <vector>

#include <windows.h>

#include "job/registry_key.h"

namespace xlr {
namespace {

struct TokenHandle {
    HANDLE token = nullptr;
    ~TokenHandle() {
        if (token != nullptr) CloseHandle(token);
    }
};

WideString DomainOfTokenUser() {
    TokenHandle handle;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &handle.token)) return {};
    DWORD needed = 0;
    GetTokenInformation(handle.token, TokenUser, nullptr, 0, &needed);
    if (needed < sizeof(TOKEN_USER)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetTokenInformation(handle.token, TokenUser, buffer.data(), needed, &needed)) return {};
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    WCHAR name[kDomainLength] = {}, domain[kDomainLength] = {};
    DWORD nameSize = kDomainLength, domainSize = kDomainLength;
    SID_NAME_USE use{};
    if (!LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) return {};
    return domain;
}

WideString WinlogonValue(LPCWSTR valueName) {
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      WSTR("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"), 0,
                      KEY_READ, &handle.key) != ERROR_SUCCESS)
        return {};
    WCHAR value[kDomainLength] = {};
    DWORD type = 0, size = sizeof value - sizeof(WCHAR);  // keeps a terminator
    if (RegQueryValueExW(handle.key, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(value),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return value;
}

}  // namespace

WideString LogonDomain() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExW(&version) && version.dwMajorVersion >= 6) return DomainOfTokenUser();
    if (WideString domain = WinlogonValue(WSTR("DefaultDomainName")); !domain.empty())
        return domain;
    return WinlogonValue(WSTR("CachePrimaryDomain"));
}

}  // namespace xlr
