#include "support/fake_unidrv.h"

#include <cstring>

#include "settings/devmode_handler.h"

namespace xltest {
namespace {

FakeDriverHelper* HelperOf(PDEVOBJ device) {
    return static_cast<FakeDriverHelper*>(device->hOEM);
}

DWORD SpoolThroughProcs(PDEVOBJ device, PVOID buffer, DWORD size) {
    DWORD written = 0;
    HelperOf(device)->DrvWriteSpoolBuf(device, buffer, size, &written);
    return written;
}

BOOL SettingThroughProcs(PVOID device, PCSTR feature, PVOID output, DWORD size, PDWORD needed,
                         PDWORD options) {
    return SUCCEEDED(HelperOf(static_cast<PDEVOBJ>(device))
                         ->DrvGetDriverSetting(device, feature, output, size, needed, options));
}

BOOL VariableThroughProcs(PDEVOBJ device, DWORD index, PVOID buffer, DWORD size, PDWORD needed) {
    return SUCCEEDED(HelperOf(device)->DrvGetStandardVariable(device, index, buffer, size, needed));
}

}  // namespace

HRESULT FakeDriverHelper::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IPrintOemDriverUni || riid == IID_IUnknown) {
        *ppv = this;
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeDriverHelper::DrvGetDriverSetting(PVOID, PCSTR feature, PVOID output, DWORD size,
                                              PDWORD needed, PDWORD optionsReturned) {
    featureReads.emplace_back(feature);
    auto it = features.find(feature);
    const std::string option = it == features.end() ? "" : it->second;
    if (needed != nullptr) *needed = static_cast<DWORD>(option.size() + 1);
    if (optionsReturned != nullptr) *optionsReturned = it == features.end() ? 0 : 1;
    if (it == features.end()) {
        if (output != nullptr && size > 0) static_cast<char*>(output)[0] = 0;
        return E_FAIL;
    }
    if (output == nullptr || size <= option.size()) return E_FAIL;
    std::memcpy(output, option.c_str(), option.size() + 1);
    return S_OK;
}

HRESULT FakeDriverHelper::DrvWriteSpoolBuf(PDEVOBJ, PVOID buffer, DWORD size, DWORD* result) {
    ++spoolWrites;
    if (failSpoolWrites) {
        if (result != nullptr) *result = 0;
        return E_FAIL;
    }
    spooled.append(static_cast<const char*>(buffer), size);
    if (result != nullptr) *result = size;
    return S_OK;
}

HRESULT FakeDriverHelper::DrvGetStandardVariable(PDEVOBJ, DWORD index, PVOID buffer, DWORD size,
                                                 PDWORD needed) {
    auto it = standardVariables.find(index);
    if (needed != nullptr) *needed = sizeof(LONG);
    if (it == standardVariables.end() || buffer == nullptr || size < sizeof(LONG)) return E_FAIL;
    std::memcpy(buffer, &it->second, sizeof(LONG));
    return S_OK;
}

FakeDevice::FakeDevice() : privateDevMode(std::make_unique<xlr::PackedBlock>()) {
    publicDevMode = LetterDevMode();
    procs.DrvWriteSpoolBuf = SpoolThroughProcs;
    procs.DrvGetDriverSetting = SettingThroughProcs;
    procs.DrvGetStandardVariable = VariableThroughProcs;
    devobj.dwSize = sizeof devobj;
    devobj.hOEM = &helper;
    devobj.pPublicDM = &publicDevMode;
    devobj.pOEMDM = privateDevMode.get();
    devobj.pDrvProcs = &procs;
    SetSettings(DefaultSettings(publicDevMode));
}

void FakeDevice::SetSettings(const xlr::SettingsRecord& record) {
    xlr::Pack(record, *privateDevMode);
}

xlr::SettingsRecord FakeDevice::Settings() const {
    xlr::UnpackedSettings settings(privateDevMode.get());
    return settings ? *settings : xlr::SettingsRecord{};
}

xlr::SettingsRecord DefaultSettings(const DEVMODEW& dm) {
    auto block = std::make_unique<xlr::PackedBlock>();
    DEVMODEW copy = dm;
    OEMDMPARAM param{};
    param.pPublicDMIn = &copy;
    param.pOEMDMOut = block.get();
    param.cbBufSize = sizeof(xlr::PackedBlock);
    xlr::HandleDevMode(OEMDM_DEFAULT, &param, nullptr);
    xlr::UnpackedSettings settings(block.get());
    return settings ? *settings : xlr::SettingsRecord{};
}

DEVMODEW LetterDevMode() {
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    dm.dmDriverExtra = sizeof(xlr::PackedBlock);
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = DMPAPER_LETTER;
    dm.dmPaperWidth = 2159;
    dm.dmPaperLength = 2794;
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = DMBIN_AUTO;
    dm.dmPrintQuality = 600;
    dm.dmYResolution = 600;
    dm.dmColor = DMCOLOR_COLOR;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmTTOption = DMTT_DOWNLOAD;
    dm.dmCollate = DMCOLLATE_TRUE;
    dm.dmMediaType = DMMEDIA_STANDARD;
    std::memcpy(dm.dmFormName, u"Letter", 7 * sizeof(WCHAR));
    return dm;
}

}  // namespace xltest
