#include "job/user_names.h"

#include <cstring>

namespace xlr {
namespace {

WideString NameFromIni() {
    WCHAR directory[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const WideString path = WideString(directory) + WSTR("\\kxmnwun.ini");
    WCHAR value[128] = {};  // at most 127 characters
    GetPrivateProfileStringW(WSTR("NWUSERNAME"), WSTR("NWUSERNAME"), WSTR(""), value, 128,
                             path.c_str());
    return value;
}

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
    if (WideString name = NameFromIni(); !name.empty()) return name;
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
