// Printer data: typed values of a printer, under keys for the *Ex forms; the
// plain forms use the key "PrinterDriverData". Changing them needs a handle
// opened with PRINTER_ACCESS_ADMINISTER, as on Windows.
#include <winspool.h>
#include <xlplatform/world.h>

#include <cstring>

#include "spooler_handles.h"

using namespace xlplatform;

namespace {

// The Win32 error for an unusable handle or bad arguments, or ERROR_SUCCESS.
DWORD CheckNames(const PrinterAccess& access, LPCWSTR keyName, LPCWSTR valueName) {
    if (access.printer == nullptr) return ERROR_INVALID_HANDLE;
    if (keyName == nullptr || keyName[0] == 0 || valueName == nullptr)
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

DWORD QueryData(HANDLE printer, LPCWSTR keyName, LPCWSTR valueName, LPDWORD type, LPBYTE data,
                DWORD size, LPDWORD needed) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (const DWORD error = CheckNames(access, keyName, valueName)) return error;
    if (needed == nullptr) return ERROR_INVALID_PARAMETER;
    const RegistryValue* value = access.printer->FindData(keyName, valueName);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    *needed = static_cast<DWORD>(value->bytes.size());
    if (data == nullptr || size < value->bytes.size()) return ERROR_MORE_DATA;
    if (!value->bytes.empty()) std::memcpy(data, value->bytes.data(), value->bytes.size());
    return ERROR_SUCCESS;
}

DWORD StoreData(HANDLE printer, LPCWSTR keyName, LPCWSTR valueName, DWORD type, LPBYTE data,
                DWORD size) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (const DWORD error = CheckNames(access, keyName, valueName)) return error;
    if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
    if ((access.handle->access & PRINTER_ACCESS_ADMINISTER) == 0) return ERROR_ACCESS_DENIED;
    RegistryValue value{type, {}};
    if (size != 0) value.bytes.assign(data, data + size);
    access.printer->SetData(keyName, valueName, std::move(value));
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

DWORD WINAPI GetPrinterDataW(HANDLE printer, LPWSTR valueName, LPDWORD type, LPBYTE data,
                             DWORD size, LPDWORD needed) {
    return QueryData(printer, kPrinterDriverData.data(), valueName, type, data, size, needed);
}

DWORD WINAPI GetPrinterDataExW(HANDLE printer, LPCWSTR keyName, LPCWSTR valueName, LPDWORD type,
                               LPBYTE data, DWORD size, LPDWORD needed) {
    return QueryData(printer, keyName, valueName, type, data, size, needed);
}

DWORD WINAPI SetPrinterDataW(HANDLE printer, LPWSTR valueName, DWORD type, LPBYTE data,
                             DWORD size) {
    return StoreData(printer, kPrinterDriverData.data(), valueName, type, data, size);
}

DWORD WINAPI SetPrinterDataExW(HANDLE printer, LPCWSTR keyName, LPCWSTR valueName, DWORD type,
                               LPBYTE data, DWORD size) {
    return StoreData(printer, keyName, valueName, type, data, size);
}

DWORD WINAPI DeletePrinterDataW(HANDLE printer, LPWSTR valueName) {
    const PrinterAccess access = ResolvePrinterHandle(printer);
    if (const DWORD error = CheckNames(access, kPrinterDriverData.data(), valueName)) return error;
    if ((access.handle->access & PRINTER_ACCESS_ADMINISTER) == 0) return ERROR_ACCESS_DENIED;
    const auto values = access.printer->data.find(kPrinterDriverData);
    if (values == access.printer->data.end()) return ERROR_FILE_NOT_FOUND;
    const auto value = values->second.find(std::u16string_view(valueName));
    if (value == values->second.end()) return ERROR_FILE_NOT_FOUND;
    values->second.erase(value);
    return ERROR_SUCCESS;
}

}  // extern "C"
