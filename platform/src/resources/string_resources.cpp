// Modules loaded as data files and their string tables. A data-file handle
// has its lowest bit set, as on Windows, so that it can never be mistaken for
// a module loaded to run; it points to the module's Windows path.
#include <libloaderapi.h>
#include <windows.h>
#include <winuser.h>
#include <xlplatform/world.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "data_file_modules.h"

namespace {

struct DataFileModule {
    std::u16string path;
};

bool IsDataFile(HMODULE module) {
    return (reinterpret_cast<uintptr_t>(module) & 1) != 0;
}

DataFileModule* FromHandle(HMODULE module) {
    return reinterpret_cast<DataFileModule*>(reinterpret_cast<uintptr_t>(module) & ~uintptr_t{1});
}

}  // namespace

namespace xlplatform {

bool FreeDataFileModule(HMODULE module) {
    if (module == nullptr || !IsDataFile(module)) return false;
    delete FromHandle(module);
    return true;
}

}  // namespace xlplatform

extern "C" {

HMODULE WINAPI LoadLibraryExW(LPCWSTR fileName, HANDLE, DWORD flags) {
    if ((flags & LOAD_LIBRARY_AS_DATAFILE) == 0) return LoadLibraryW(fileName);
    if (fileName == nullptr || fileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto& resources = xlplatform::TheWorld().stringResources;
    if (resources.find(std::u16string_view(fileName)) == resources.end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto* module = new DataFileModule{fileName};
    return reinterpret_cast<HMODULE>(reinterpret_cast<uintptr_t>(module) | 1);
}

int WINAPI LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size) {
    if (module == nullptr || !IsDataFile(module) || buffer == nullptr || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = 0;
    const auto& resources = xlplatform::TheWorld().stringResources;
    const auto table = resources.find(FromHandle(module)->path);
    if (table == resources.end()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    const auto text = table->second.find(id);
    if (text == table->second.end() || text->second.empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const size_t length = std::min(text->second.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text->second.data(), length * sizeof(WCHAR));
    buffer[length] = 0;
    return static_cast<int>(length);
}

}  // extern "C"
