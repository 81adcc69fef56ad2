#include "job/names/user_names.h"

#include <cstring>

#include "job/names/job_record.h"

namespace xlr {
namespace {

WideString NameFromEnvironment() {
    WCHAR value[256] = {};
    const DWORD length = GetEnvironmentVariableW(WSTR("NWUSERNAME"), value, 256);
    return length > 0 && length < 256 ? WideString(value) : WideString();
}

WideString LoggedOnUser() {
    WCHAR value[257] = {};
    DWORD size = 257;
    return GetUserNameW(value, &size) ? WideString(value) : WideString();
}

}  // namespace

WideString RecordingUserName() {
    if (WideString name = IniUserName(); !name.empty()) return name;
    if (WideString name = NameFromEnvironment(); !name.empty()) return name;
    return LoggedOnUser();
}

void FillRetentionUserName(SettingsRecord& record) {
    const WideString name = RecordingUserName();
    const size_t count = name.size() < kRetentionUserNameMax ? name.size() : kRetentionUserNameMax;
    std::memset(record.retentionUserName, 0, sizeof record.retentionUserName);
    std::memcpy(record.retentionUserName, name.data(), count * sizeof(WCHAR));
    CharUpperBuffW(record.retentionUserName, static_cast<DWORD>(count));
}

}  // namespace xlr
