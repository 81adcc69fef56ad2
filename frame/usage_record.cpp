#include "frame/usage_record.h"

#include <cstring>

#include <oleauto.h>
#include <usagereport.h>
#include <winspool.h>

namespace xlr {
namespace {

constexpr DWORD kUsageContext = 21;  // in-process, local or remote server
constexpr DWORD kModelBytes = 260;

struct Bstr {
    explicit Bstr(const WideString& text) : value(SysAllocString(text.c_str())) {}
    ~Bstr() { SysFreeString(value); }
    BSTR value;
};

WideString ModelFromPrinterData(HANDLE printer) {
    WCHAR model[kModelBytes / sizeof(WCHAR) + 1] = {};
    DWORD type = 0, needed = 0;
    WCHAR name[] = WSTR("Model");
    if (printer == nullptr || GetPrinterDataW(printer, name, &type, reinterpret_cast<LPBYTE>(model),
                                              kModelBytes, &needed) != ERROR_SUCCESS)
        return {};
    return model;
}

WideString ApplicationName(const SettingsRecord& settings) {
    const size_t length = strnlen(settings.appFileName, sizeof settings.appFileName);
    if (length == 0) return {};
    WCHAR wide[sizeof settings.appFileName + 1] = {};
    const int units = MultiByteToWideChar(CP_ACP, 0, settings.appFileName, static_cast<int>(length),
                                          wide, static_cast<int>(sizeof settings.appFileName));
    return units > 0 ? WideString(wide, static_cast<size_t>(units)) : WideString();
}

}  // namespace

UsageRecord MakeUsageRecord(PDEVOBJ device, const PluginDeviceState& state,
                            const SettingsRecord& settings) {
    UsageRecord record;
    // The device's serial number would come from the device itself (the device
    // query of a networked printer); the plug-in has no such component, so the
    // record carries the "unknown" serial number.
    record.serialNumber = WSTR("9999999999");
    record.model = ModelFromPrinterData(device->hPrinter);
    if (record.model.empty()) record.model = WSTR("UnknownModel");
    record.application = ApplicationName(settings);
    if (record.application.empty()) record.application = WSTR("UnknownAppName");
    record.pageTotal = static_cast<LONG>(settings.copies > 0 ? settings.copies : 1) *
                       static_cast<LONG>(state.pageCount);
    return record;
}

void SendUsageRecord(const UsageRecord& record) {
    const HRESULT initialized = CoInitialize(nullptr);
    void* object = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_UsageReport, nullptr, kUsageContext, IID_IUsageReport,
                                   &object)) &&
        object != nullptr) {
        auto* report = static_cast<IUsageReport*>(object);
        Bstr device(record.serialNumber + WSTR("#") + record.model);
        Bstr application(record.application);
        report->SetDeviceText(USAGE_ITEM_DEVICE, device.value);
        report->SetApplicationText(USAGE_ITEM_APPLICATION, application.value);
        report->SetCount(USAGE_ITEM_PAGE_TOTAL, record.pageTotal);
        LONG complete = 0;
        report->GetStatus(&complete);
        report->Send();
        report->Release();
    }
    if (SUCCEEDED(initialized)) CoUninitialize();
}

}  // namespace xlr
