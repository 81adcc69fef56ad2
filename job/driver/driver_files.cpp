#include "job/driver/driver_files.h"

#include <cstdio>
#include <vector>

#include <winspool.h>
#include <winver.h>

#include "settings/component_files.h"

namespace xlr {
namespace {

constexpr UINT kUnknownUserString = 174;
constexpr int kResourceStringLength = 256;

struct DataFileModule {
    HMODULE module;
    explicit DataFileModule(const WideString& path)
        : module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataFileModule() {
        if (module != nullptr) FreeLibrary(module);
    }
    DataFileModule(const DataFileModule&) = delete;
    DataFileModule& operator=(const DataFileModule&) = delete;
};

// The dependent file named `fileName`, or the file of that name beside the
// driver's main module.
WideString DriverFilePath(const DriverRecord& driver, WideStringView fileName) {
    for (const WideString& file : driver.dependentFiles)
        if (SameText(FileNameOf(file), fileName)) return file;
    const WideStringView main = driver.driverPath;
    const size_t slash = main.find_last_of(WSTR("\\"));
    if (slash == WideStringView::npos) return {};
    return WideString(main.substr(0, slash + 1)) + WideString(fileName);
}

// The address of a function of this module, to find the module itself.
void ModuleAnchor() {}

WideString OwnModuleFileName() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ModuleAnchor), &module))
        return {};
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return WideString(FileNameOf(WideStringView(path, length)));
}

}  // namespace

std::optional<DriverRecord> ReadDriverRecord(HANDLE printer) {
    if (printer == nullptr) return std::nullopt;
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_3W)) return std::nullopt;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed))
        return std::nullopt;
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    DriverRecord driver;
    if (info->pName != nullptr) driver.name = info->pName;
    if (info->pDriverPath != nullptr) driver.driverPath = info->pDriverPath;
    // The list is a series of terminated names ending with an empty one; it
    // lies inside the buffer the spooler filled.
    const auto* end = reinterpret_cast<const WCHAR*>(buffer.data() + buffer.size());
    for (const WCHAR* file = info->pDependentFiles; file != nullptr && file < end && *file != 0;) {
        const WCHAR* stop = file;
        while (stop < end && *stop != 0) ++stop;
        driver.dependentFiles.emplace_back(file, stop);
        file = stop + 1;
    }
    return driver;
}

WideStringView FileNameOf(WideStringView path) {
    const size_t slash = path.find_last_of(WSTR("\\/"));
    return slash == WideStringView::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> FileVersionText(WideStringView path) {
    const WideString file(path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    void* value = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(file.c_str(), handle, size, block.data()) ||
        !VerQueryValueW(block.data(), WSTR("\\"), &value, &length) ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", fixed->dwFileVersionMS >> 16,
                  fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                  fixed->dwFileVersionLS & 0xFFFF);
    return std::string(text);
}

std::optional<std::string> PluginVersion(const DriverRecord& driver) {
    const WideString own = OwnModuleFileName();
    if (own.empty()) return std::nullopt;
    for (const WideString& file : driver.dependentFiles)
        if (SameText(FileNameOf(file), own)) return FileVersionText(file);
    return std::nullopt;
}

std::optional<std::string> UnidrvVersion(const DriverRecord& driver) {
    const WideString upper = ToUpper(driver.driverPath);
    if (upper.find(WSTR("UNIDRV")) == WideString::npos ||
        upper.find(WSTR(".DLL")) == WideString::npos)
        return std::nullopt;
    return FileVersionText(driver.driverPath);
}

WideString DriverResourceString(HANDLE printer, UINT id) {
    const std::optional<DriverRecord> driver = ReadDriverRecord(printer);
    if (!driver) return {};
    const WideString name = ReadComponentName(FindComponentIni(printer), kResourceComponent);
    const WideString path = DriverFilePath(*driver, name);
    if (path.empty()) return {};
    const DataFileModule resources(path);
    if (resources.module == nullptr) return {};
    WCHAR text[kResourceStringLength] = {};
    const int length = LoadStringW(resources.module, id, text, kResourceStringLength);
    return length > 0 ? WideString(text, static_cast<size_t>(length)) : WideString();
}

WideString UntitledName(HANDLE printer) {
    WideString name = DriverResourceString(printer, kUnknownUserString);
    return name.empty() ? WideString(WSTR("UNTITLED")) : name;
}

}  // namespace xlr
