// System information from the world: user, computer, directories, environment,
// locale and the operating system's version.
#include <windows.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <cstring>
#include <iterator>

using xlplatform::TheWorld;

namespace {

// The Windows convention for "copy a string out": on success the length without
// the terminator; when the buffer is too small, the size needed with it.
DWORD CopyString(std::u16string_view text, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
    std::memcpy(buffer, text.data(), text.size() * sizeof(WCHAR));
    buffer[text.size()] = 0;
    return static_cast<DWORD>(text.size());
}

// GetUserNameW / GetComputerNameW style: size in and out, with the terminator.
BOOL CopyName(std::u16string_view text, LPWSTR buffer, LPDWORD size, bool countTerminator) {
    if (size == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (buffer == nullptr || *size <= text.size()) {
        *size = static_cast<DWORD>(text.size() + 1);
        // GetUserNameW and GetComputerNameW report a short buffer differently.
        SetLastError(countTerminator ? ERROR_INSUFFICIENT_BUFFER : ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(buffer, text.data(), text.size() * sizeof(WCHAR));
    buffer[text.size()] = 0;
    *size = static_cast<DWORD>(text.size() + (countTerminator ? 1 : 0));
    return TRUE;
}

}  // namespace

extern "C" {

DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const auto& environment = TheWorld().environment;
    const std::u16string wanted = xlplatform::Upper(name);
    for (const auto& [key, value] : environment) {
        if (xlplatform::Upper(key) == wanted) return CopyString(value, buffer, size);
    }
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
}

UINT WINAPI GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
    return CopyString(TheWorld().windowsDirectory, buffer, size);
}

BOOL WINAPI GetUserNameW(LPWSTR buffer, LPDWORD size) {
    return CopyName(TheWorld().userName, buffer, size, true);
}

BOOL WINAPI GetComputerNameW(LPWSTR buffer, LPDWORD size) {
    return CopyName(TheWorld().computerName, buffer, size, false);
}

int WINAPI GetLocaleInfoW(LCID, LCTYPE type, LPWSTR data, int size) {
    struct LocaleField {
        LCTYPE type;
        std::u16string xlplatform::World::*text;
    };
    static constexpr LocaleField kFields[] = {
        {LOCALE_ICOUNTRY, &xlplatform::World::localeCountry},
        {LOCALE_SSHORTDATE, &xlplatform::World::shortDateFormat},
    };
    const LCTYPE wanted = type & ~LOCALE_NOUSEROVERRIDE;  // the world has no user overrides
    const std::u16string* value = nullptr;
    for (const LocaleField& field : kFields)
        if (field.type == wanted) value = &(TheWorld().*field.text);
    if (value == nullptr || value->empty() || size < 0 || (data == nullptr && size != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(value->size()) + 1;
    if (size == 0) return needed;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, value->c_str(), needed * sizeof(WCHAR));
    return needed;
}

LANGID WINAPI GetUserDefaultUILanguage() {
    return TheWorld().uiLanguage;
}

LANGID WINAPI GetUserDefaultLangID() {
    return TheWorld().userLanguage;
}

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW info) {
    if (info == nullptr || (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW) &&
                            info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXW))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const xlplatform::OsVersion& os = TheWorld().osVersion;
    info->dwMajorVersion = os.major;
    info->dwMinorVersion = os.minor;
    info->dwBuildNumber = os.build;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    const size_t csdLength =
        std::min<size_t>(os.servicePack.size(), std::size(info->szCSDVersion) - 1);
    std::memcpy(info->szCSDVersion, os.servicePack.data(), csdLength * sizeof(WCHAR));
    std::fill(std::begin(info->szCSDVersion) + csdLength, std::end(info->szCSDVersion), WCHAR{0});
    if (info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXW)) {
        auto* ex = reinterpret_cast<LPOSVERSIONINFOEXW>(info);
        ex->wServicePackMajor = os.servicePackMajor;
        ex->wServicePackMinor = os.servicePackMinor;
        ex->wSuiteMask = os.suiteMask;
        ex->wProductType = os.productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

}  // extern "C"
