#include "host/unidrv/driver_helper.h"

#include <cstring>

namespace xlhost {

CDriverHelper::CDriverHelper(const FeatureSelection& features, SpoolWriter spool,
                             VariableReader variables)
    : features_(features), spool_(std::move(spool)), variables_(std::move(variables)) {}

HRESULT CDriverHelper::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPrintOemDriverUni) {
        *ppv = static_cast<IPrintOemDriverUni*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The device owns the helper; counting keeps the plug-in's use visible.
ULONG CDriverHelper::AddRef() {
    return ++refs_;
}
ULONG CDriverHelper::Release() {
    return refs_ > 0 ? --refs_ : 0;
}

BOOL CDriverHelper::GetDriverSetting(PCSTR feature, PVOID output, DWORD size, PDWORD needed,
                                     PDWORD optionsReturned) {
    if (optionsReturned != nullptr) *optionsReturned = 0;
    const FeatureOption* option = feature != nullptr ? features_.Current(feature) : nullptr;
    if (option == nullptr) {
        if (needed != nullptr) *needed = 1;
        if (output != nullptr && size > 0) static_cast<char*>(output)[0] = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string& keyword = option->keyword;
    if (needed != nullptr) *needed = static_cast<DWORD>(keyword.size() + 1);
    if (output == nullptr || size <= keyword.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(output, keyword.c_str(), keyword.size() + 1);
    if (optionsReturned != nullptr) *optionsReturned = 1;
    return TRUE;
}

HRESULT CDriverHelper::DrvGetDriverSetting(PVOID, PCSTR feature, PVOID output, DWORD size,
                                           PDWORD needed, PDWORD optionsReturned) {
    return GetDriverSetting(feature, output, size, needed, optionsReturned) ? S_OK : E_FAIL;
}

HRESULT CDriverHelper::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size, DWORD* result) {
    const DWORD written = spool_ ? spool_(pdevobj, buffer, size) : 0;
    if (result != nullptr) *result = written;
    return written == size ? S_OK : E_FAIL;
}

BOOL CDriverHelper::GetStandardVariable(PDEVOBJ pdevobj, DWORD index, PVOID buffer, DWORD size,
                                        PDWORD needed) {
    if (needed != nullptr) *needed = sizeof(LONG);
    const std::optional<LONG> value = variables_ ? variables_(pdevobj, index) : std::nullopt;
    if (!value || buffer == nullptr || size < sizeof(LONG)) return FALSE;
    std::memcpy(buffer, &*value, sizeof(LONG));
    return TRUE;
}

HRESULT CDriverHelper::DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD index, PVOID buffer,
                                              DWORD size, PDWORD needed) {
    return GetStandardVariable(pdevobj, index, buffer, size, needed) ? S_OK : E_FAIL;
}

}  // namespace xlhost
