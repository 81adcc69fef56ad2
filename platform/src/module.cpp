// Module loading over dlopen, and debugger output.
#include <windows.h>
#include <xlplatform/world.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "resources/data_file_modules.h"

namespace {

DWORD CopyOut(std::u16string_view text, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // As on Windows: a path that does not fit is cut and the size is returned.
    const DWORD count = text.size() < size ? static_cast<DWORD>(text.size()) : size - 1;
    std::memcpy(buffer, text.data(), count * sizeof(WCHAR));
    buffer[count] = 0;
    if (count < text.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return count;
}

// Whether a module's load address is the main program's.
bool IsMainProgram(const void* base) {
    void* program = ::dlopen(nullptr, RTLD_LAZY);
    link_map* map = nullptr;
    const bool found = program != nullptr && ::dlinfo(program, RTLD_DI_LINKMAP, &map) == 0 &&
                       map != nullptr && map->l_name != nullptr && map->l_name[0] == 0;
    Dl_info info{};
    const bool same = found && ::dladdr(reinterpret_cast<const void*>(map->l_ld), &info) != 0 &&
                      info.dli_fbase == base;
    if (program != nullptr) ::dlclose(program);
    return same;
}

}  // namespace

extern "C" {

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName) {
    if (fileName == nullptr || fileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::u16string_view name(fileName);
    const bool hasDirectory = name.find_first_of(u"\\/") != std::u16string_view::npos ||
                              (name.size() >= 2 && name[1] == u':');
    std::string path = hasDirectory ? xlplatform::HostPath(name) : xlplatform::Utf16ToUtf8(name);
    // As Windows appends ".dll" to a module name without an extension, the
    // stand-in appends ".so"; a trailing dot says the name has none.
    const size_t slash = path.find_last_of('/');
    const size_t lastPart = slash == std::string::npos ? 0 : slash + 1;
    if (!path.empty() && path.back() == '.')
        path.pop_back();
    else if (path.find('.', lastPart) == std::string::npos)
        path += ".so";
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        if (std::getenv("XLRENDER_DEBUG") != nullptr)
            std::fprintf(stderr, "LoadLibraryW: %s\n", ::dlerror());
        return nullptr;
    }
    return static_cast<HMODULE>(handle);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module == nullptr || procName == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = ::dlsym(module, procName);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (xlplatform::FreeDataFileModule(module)) return TRUE;
    if (module == nullptr || ::dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (module == nullptr) return CopyOut(xlplatform::TheWorld().processImagePath, fileName, size);
    link_map* map = nullptr;
    if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    // The main program's map has no name: it is the world's process image.
    if (map->l_name[0] == 0)
        return CopyOut(xlplatform::TheWorld().processImagePath, fileName, size);
    return CopyOut(xlplatform::Utf8ToUtf16(map->l_name), fileName, size);
}

BOOL WINAPI GetModuleHandleExW(DWORD flags, LPCWSTR moduleName, HMODULE* module) {
    constexpr DWORD kKnown =
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (module == nullptr || (flags & ~kKnown) != 0 ||
        (flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) == 0 || moduleName == nullptr) {
        if (module != nullptr) *module = nullptr;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *module = nullptr;
    Dl_info info{};
    if (::dladdr(moduleName, &info) == 0 || info.dli_fname == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    // RTLD_NOLOAD only looks the loaded module up; it takes a reference, which
    // is dropped again when the caller asked for the count to stay. The main
    // program is not found by its name that way; its handle is dlopen's own.
    void* handle = ::dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr && IsMainProgram(info.dli_fbase)) handle = ::dlopen(nullptr, RTLD_LAZY);
    if (handle == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if ((flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT) != 0) ::dlclose(handle);
    *module = static_cast<HMODULE>(handle);
    return TRUE;
}

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text == nullptr || std::getenv("XLRENDER_DEBUG") == nullptr) return;
    std::fputs(text, stderr);
}

void WINAPI OutputDebugStringW(LPCWSTR text) {
    if (text == nullptr || std::getenv("XLRENDER_DEBUG") == nullptr) return;
    std::fputs(xlplatform::Utf16ToUtf8(text).c_str(), stderr);
}

}  // extern "C"
