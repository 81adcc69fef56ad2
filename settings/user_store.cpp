#include "settings/user_store.h"

#include <winspool.h>

namespace xlr {
namespace {

constexpr DWORD kRestrictedUserBytes = 520;
constexpr size_t kMaxKeyPath = 259;

struct KeyHolder {
    HKEY key = nullptr;
    ~KeyHolder() {
        if (key != nullptr) RegCloseKey(key);
    }
};

}  // namespace

WideString RestrictedUserId(HANDLE printer) {
    WCHAR value[kRestrictedUserBytes / sizeof(WCHAR) + 1] = {};
    DWORD type = 0, needed = 0;
    if (GetPrinterDataExW(printer, WSTR("KXPresetRoot"), WSTR("KXRestrictedUserGuid"), &type,
                          reinterpret_cast<LPBYTE>(value), kRestrictedUserBytes,
                          &needed) != ERROR_SUCCESS)
        return {};
    return value;  // the extra unit keeps it terminated
}

WideString UserStoreKeyPath(WideStringView restrictedUser, WideStringView subKey) {
    WideString path = WSTR("Software\\Corvane\\");
    path += restrictedUser;
    if (!subKey.empty()) {
        path += u'\\';
        path += subKey;
    }
    return path.size() <= kMaxKeyPath ? path : WideString();
}

std::optional<std::vector<BYTE>> ReadUserStoreValue(HANDLE printer, WideStringView subKey,
                                                    WideStringView valueName) {
    const WideString user = RestrictedUserId(printer);
    if (user.empty()) return std::nullopt;
    const WideString path = UserStoreKeyPath(user, subKey);
    if (path.empty()) return std::nullopt;
    const WideString value(valueName);
    KeyHolder holder;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &holder.key, &disposition) != ERROR_SUCCESS)
        return std::nullopt;
    constexpr BYTE kInitial = 0x01;
    if (disposition == REG_CREATED_NEW_KEY) {
        RegSetValueExW(holder.key, value.c_str(), 0, REG_BINARY, &kInitial, 1);
        return std::vector<BYTE>{};
    }
    DWORD type = 0, size = 0;
    LONG status = RegQueryValueExW(holder.key, value.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        if (RegSetValueExW(holder.key, value.c_str(), 0, REG_BINARY, &kInitial, 1) != ERROR_SUCCESS)
            return std::nullopt;
        status = RegQueryValueExW(holder.key, value.c_str(), nullptr, &type, nullptr, &size);
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> bytes(size);
    if (size > 0 && RegQueryValueExW(holder.key, value.c_str(), nullptr, &type, bytes.data(),
                                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

}  // namespace xlr
