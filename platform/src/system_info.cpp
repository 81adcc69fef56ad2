// System information from the world: user, computer, directories, environment, locale.
#include <windows.h>
#include <xlplatform/world.h>

#include <cstring>

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
    if (type != LOCALE_ICOUNTRY || size < 0 || TheWorld().localeCountry.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string& value = TheWorld().localeCountry;
    const int needed = static_cast<int>(value.size()) + 1;
    if (size == 0) return needed;
    if (data == nullptr || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(data, value.c_str(), needed * sizeof(WCHAR));
    return needed;
}

}  // extern "C"
