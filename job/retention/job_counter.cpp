#include "job/retention/job_counter.h"

#include <string>

#include "job/registry_key.h"
#include "settings/user_store.h"

namespace xlr {
namespace {

constexpr uint32_t kLastCount = 99;
constexpr uint32_t kRestartCount = 2;
constexpr uint32_t kPostScriptPdl = 3;          // PDL_PS
constexpr size_t kLongestRestrictedUser = 233;  // longer identifiers are not appended

uint32_t ReadCount(HKEY key) {
    WCHAR text[16] = {};
    DWORD type = 0, size = sizeof text - sizeof(WCHAR);
    if (RegQueryValueExW(key, WSTR("iJobCount"), nullptr, &type, reinterpret_cast<LPBYTE>(text),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return 0;
    uint32_t count = 0;
    for (const WCHAR* digit = text; *digit >= WSTR('0') && *digit <= WSTR('9'); ++digit) {
        count = count * 10 + static_cast<uint32_t>(*digit - WSTR('0'));
        if (count > kLastCount) break;  // anything this large restarts anyway
    }
    return count;
}

}  // namespace

uint32_t NextJobCount(uint32_t count) {
    return count >= kLastCount ? kRestartCount : count + 1;
}

uint32_t OperatingSystemCode() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version)) return 2;
    return version.dwMajorVersion >= 6 ? 1 : 0;
}

void CountRetainedJob(HANDLE printer, const SettingsRecord& settings) {
    if (settings.retentionMode == 0 || settings.autoJobNaming == 0 ||
        settings.pdlIndex != kPostScriptPdl || OperatingSystemCode() > 1 ||
        settings.customNameInUse != 0 || printer == nullptr)
        return;
    const WideString user = RestrictedUserId(printer);
    if (user.empty()) return;
    WideString path = WSTR("Software\\Corvane\\");
    if (user.size() <= kLongestRestrictedUser) path += user;
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, &handle.key) !=
        ERROR_SUCCESS)
        return;
    const uint32_t count = NextJobCount(ReadCount(handle.key));
    if (settings.duplicateFlag != 0) return;
    const std::string digits = std::to_string(count);
    const WideString text(digits.begin(), digits.end());
    RegSetValueExW(handle.key, WSTR("iJobCount"), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

}  // namespace xlr
