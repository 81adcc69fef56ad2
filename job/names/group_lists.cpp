#include "job/names/group_lists.h"

#include <sddl.h>
#include <windows.h>

#include <optional>
#include <string>

#include "job/registry_key.h"

namespace xlr {
namespace {

constexpr const WCHAR* kMembershipKey =
    WSTR("Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\GroupMembership");
constexpr DWORD kMaxTextSid = 256;
// The two lists hold at most 160 units; a membership count beyond this is
// not a real one and is not scanned to its end.
constexpr DWORD kMaxMemberships = 4096;

struct LocalSid {
    PSID sid = nullptr;
    ~LocalSid() {
        if (sid != nullptr) LocalFree(sid);
    }
};

std::optional<DWORD> ReadCount(HKEY key) {
    DWORD count = 0, type = 0, size = sizeof count;
    if (RegQueryValueExW(key, WSTR("Count"), nullptr, &type, reinterpret_cast<LPBYTE>(&count),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof count)
        return std::nullopt;
    return count;
}

// The name of the group whose security identifier value `index` holds.
std::optional<WideString> GroupName(HKEY key, DWORD index) {
    const std::string digits = std::to_string(index);
    WideString valueName = WSTR("Group");
    valueName.append(digits.begin(), digits.end());
    WCHAR text[kMaxTextSid + 1] = {};
    DWORD type = 0, size = kMaxTextSid * sizeof(WCHAR);
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(text),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    LocalSid sid;
    if (!ConvertStringSidToSidW(text, &sid.sid)) return std::nullopt;
    WCHAR name[256] = {}, domain[256] = {};
    DWORD nameSize = 256, domainSize = 256;
    SID_NAME_USE use{};
    if (!LookupAccountSidW(nullptr, sid.sid, name, &nameSize, domain, &domainSize, &use) ||
        use != SidTypeGroup)
        return std::nullopt;
    return WideString(name);
}

}  // namespace

GroupLists ArrangeGroupLists(const std::vector<std::pair<DWORD, WideString>>& groups) {
    GroupLists lists;
    WideString* list = &lists.first;
    for (const auto& [index, name] : groups) {
        const size_t separator = index > 0 ? 1 : 0;
        if (list == &lists.first && list->size() + separator + name.size() >= kGroupListCapacity)
            list = &lists.second;
        if (list == &lists.second && list->size() + separator + name.size() >= kGroupListCapacity)
            break;
        if (separator != 0) *list += WSTR(';');
        *list += name;
    }
    return lists;
}

GroupLists ReadGroupLists() {
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kMembershipKey, 0, KEY_READ, &handle.key) != ERROR_SUCCESS)
        return {};
    const std::optional<DWORD> count = ReadCount(handle.key);
    if (!count) return {};
    std::vector<std::pair<DWORD, WideString>> groups;
    for (DWORD index = 0; index < *count && index < kMaxMemberships; ++index)
        if (std::optional<WideString> name = GroupName(handle.key, index))
            groups.emplace_back(index, std::move(*name));
    return ArrangeGroupLists(groups);
}

}  // namespace xlr
