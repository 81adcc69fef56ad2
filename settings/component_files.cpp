#include "settings/component_files.h"

#include <vector>

#include <winspool.h>

namespace xlr {

WideString FindComponentIni(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_3W)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    if (info->pDependentFiles == nullptr) return {};
    // The list is NUL-separated and ends with an empty name; it lies inside the
    // buffer the spooler filled.
    const WCHAR* end = reinterpret_cast<const WCHAR*>(buffer.data() + buffer.size());
    for (const WCHAR* name = info->pDependentFiles; name < end && *name != 0;) {
        const WCHAR* stop = name;
        while (stop < end && *stop != 0) ++stop;
        const WideString file(name, stop);
        if (ToUpper(file).find(WSTR(".INI")) != WideString::npos) return file;
        name = stop + 1;
    }
    return {};
}

WideString ReadComponentName(WideStringView iniPath, const ComponentName& component) {
    if (iniPath.empty()) return WideString(component.defaultName);
    WCHAR name[kComponentNameBuffer] = {};
    const WideString path(iniPath), key(component.key);
    const DWORD length = GetPrivateProfileStringW(WSTR("ComponentFiles"), key.c_str(), WSTR(""),
                                                  name, kComponentNameBuffer, path.c_str());
    if (length == 0 || length >= kComponentNameBuffer - 1) return WideString(component.defaultName);
    return name;
}

}  // namespace xlr
