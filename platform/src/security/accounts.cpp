// Security identifiers, the process token and account lookup over the world's
// accounts: the logged-on user (userName, userDomain, userSid) and `accounts`.
#include <sddl.h>
#include <securitybaseapi.h>
#include <windows.h>
#include <xlplatform/world.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "security/process_token.h"

using xlplatform::TheWorld;

namespace {

// The one token: every process of the world runs for the logged-on user.
struct Token {
    int marker = 0;
} g_processToken;

HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

constexpr size_t kSidHeader = 8;  // revision, count, six bytes of authority

size_t SidBytes(BYTE subAuthorities) {
    return kSidHeader + size_t{subAuthorities} * sizeof(DWORD);
}

// "S-1-<authority>-<sub-authority>..." as the bytes of a SID.
std::optional<std::vector<BYTE>> ParseSid(std::u16string_view text) {
    if (text.size() < 4 || (text[0] != u'S' && text[0] != u's') || text[1] != u'-')
        return std::nullopt;
    text.remove_prefix(2);
    std::vector<uint64_t> numbers;
    while (!text.empty()) {
        uint64_t value = 0;
        size_t digits = 0;
        while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') {
            value = value * 10 + (text[digits] - u'0');
            if (value > 0xFFFFFFFFFFFFull) return std::nullopt;
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        numbers.push_back(value);
        text.remove_prefix(digits);
        if (!text.empty()) {
            if (text[0] != u'-' || text.size() == 1) return std::nullopt;
            text.remove_prefix(1);
        }
    }
    // Revision 1, an authority and 1 to 15 sub-authorities of 32 bits.
    if (numbers.size() < 3 || numbers.size() > 2u + SID_MAX_SUB_AUTHORITIES || numbers[0] != 1)
        return std::nullopt;
    const auto count = static_cast<BYTE>(numbers.size() - 2);
    std::vector<BYTE> sid(SidBytes(count));
    sid[0] = 1;
    sid[1] = count;
    for (int i = 0; i < 6; ++i) sid[2 + i] = static_cast<BYTE>(numbers[1] >> (8 * (5 - i)));
    for (BYTE i = 0; i < count; ++i) {
        if (numbers[2 + i] > 0xFFFFFFFFu) return std::nullopt;
        const auto value = static_cast<DWORD>(numbers[2 + i]);
        std::memcpy(sid.data() + kSidHeader + i * sizeof(DWORD), &value, sizeof value);
    }
    return sid;
}

bool SidEquals(PSID sid, std::u16string_view text) {
    const std::optional<std::vector<BYTE>> parsed = ParseSid(text);
    // The counts first, so that the comparison never reads past a shorter SID.
    return parsed && static_cast<const BYTE*>(sid)[1] == (*parsed)[1] &&
           std::memcmp(sid, parsed->data(), parsed->size()) == 0;
}

}  // namespace

extern "C" {

HANDLE WINAPI GetCurrentProcess() {
    return kCurrentProcess;
}

BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    if (process != kCurrentProcess || token == nullptr || (access & TOKEN_QUERY) == 0) {
        SetLastError(process != kCurrentProcess ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *token = &g_processToken;
    return TRUE;
}

BOOL WINAPI GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information,
                                DWORD size, PDWORD needed) {
    if (token != &g_processToken || needed == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (kind != TokenUser) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::optional<std::vector<BYTE>> sid = ParseSid(TheWorld().userSid);
    if (!sid) {
        SetLastError(ERROR_NO_TOKEN);
        return FALSE;
    }
    *needed = static_cast<DWORD>(sizeof(TOKEN_USER) + sid->size());
    if (information == nullptr || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* user = static_cast<TOKEN_USER*>(information);
    BYTE* sidBytes = static_cast<BYTE*>(information) + sizeof(TOKEN_USER);
    std::memcpy(sidBytes, sid->data(), sid->size());
    user->User.Sid = sidBytes;
    user->User.Attributes = 0;
    return TRUE;
}

BOOL WINAPI IsValidSid(PSID sid) {
    if (sid == nullptr) return FALSE;
    const auto* bytes = static_cast<const BYTE*>(sid);
    return bytes[0] == 1 && bytes[1] <= SID_MAX_SUB_AUTHORITIES;
}

DWORD WINAPI GetLengthSid(PSID sid) {
    return IsValidSid(sid) ? static_cast<DWORD>(SidBytes(static_cast<const BYTE*>(sid)[1])) : 0;
}

BOOL WINAPI ConvertStringSidToSidW(LPCWSTR text, PSID* sid) {
    if (text == nullptr || sid == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::optional<std::vector<BYTE>> parsed = ParseSid(text);
    if (!parsed) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    void* memory = std::malloc(parsed->size());
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    std::memcpy(memory, parsed->data(), parsed->size());
    *sid = memory;
    return TRUE;
}

BOOL WINAPI LookupAccountSidW(LPCWSTR, PSID sid, LPWSTR name, LPDWORD nameSize, LPWSTR domain,
                              LPDWORD domainSize, PSID_NAME_USE use) {
    if (!IsValidSid(sid) || nameSize == nullptr || domainSize == nullptr || use == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const xlplatform::World& world = TheWorld();
    xlplatform::Account found;
    bool known = false;
    if (SidEquals(sid, world.userSid)) {
        found = {world.userSid, world.userName, world.userDomain, xlplatform::AccountKind::User};
        known = true;
    }
    for (const xlplatform::Account& account : world.accounts)
        if (!known && SidEquals(sid, account.sid)) {
            found = account;
            known = true;
        }
    if (!known) {
        SetLastError(ERROR_NONE_MAPPED);
        return FALSE;
    }
    // Both fit or neither is copied; a failed call answers both sizes needed.
    if (name == nullptr || *nameSize <= found.name.size() || domain == nullptr ||
        *domainSize <= found.domain.size()) {
        *nameSize = static_cast<DWORD>(found.name.size() + 1);
        *domainSize = static_cast<DWORD>(found.domain.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(name, found.name.c_str(), (found.name.size() + 1) * sizeof(WCHAR));
    std::memcpy(domain, found.domain.c_str(), (found.domain.size() + 1) * sizeof(WCHAR));
    *nameSize = static_cast<DWORD>(found.name.size());
    *domainSize = static_cast<DWORD>(found.domain.size());
    *use = static_cast<SID_NAME_USE>(found.kind);
    return TRUE;
}

HLOCAL WINAPI LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}

}  // extern "C"

namespace xlplatform {

bool IsProcessHandle(HANDLE handle) {
    return handle == &g_processToken || handle == kCurrentProcess;
}

}  // namespace xlplatform
