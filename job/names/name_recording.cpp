#include "job/names/name_recording.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <winspool.h>

#include "job/names/application_table.h"
#include "job/names/user_names.h"
#include "settings/device_capabilities.h"

namespace xlr {
namespace {

// The spooler's own process: the device mode of a job being completed there
// has no application of its own.
constexpr char kSpoolerFileName[] = "spoolsv.exe";
constexpr size_t kAppFileNameLength = 14;  // bytes, terminator not included
constexpr DWORD kAppNameBytes = 16;
const WCHAR kAppNameValue[] = WSTR("AppName");

struct PrinterHandle {
    HANDLE printer = nullptr;
    ~PrinterHandle() {
        if (printer != nullptr) ClosePrinter(printer);
    }
};

template <size_t N>
void CopyField(WCHAR (&field)[N], WideStringView text) {
    const size_t length = std::min(text.size(), N - 1);
    std::fill(std::begin(field), std::end(field), WCHAR{0});
    std::copy_n(text.begin(), length, field);
}

// Forgets the last application's name and, when `name` is to be remembered,
// stores it with its terminator. Without the right to administer the printer
// nothing changes.
void RememberApplicationName(HANDLE printer, const std::string& name, bool remember) {
    WideString printerName = PrinterName(printer);
    if (printerName.empty()) return;
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_ADMINISTER};
    PrinterHandle admin;
    if (!OpenPrinterW(printerName.data(), &admin.printer, &defaults)) return;
    WCHAR valueName[std::size(kAppNameValue)];
    std::copy(std::begin(kAppNameValue), std::end(kAppNameValue), valueName);
    DeletePrinterDataW(admin.printer, valueName);
    if (!remember) return;
    std::vector<BYTE> bytes(name.begin(), name.end());
    bytes.push_back(0);
    SetPrinterDataW(admin.printer, valueName, REG_BINARY, bytes.data(),
                    static_cast<DWORD>(bytes.size()));
}

// The application name the application's process left in printer data.
std::string RememberedApplicationName(HANDLE printer) {
    char name[kAppNameBytes + 1] = {};
    DWORD type = 0, needed = 0;
    WCHAR valueName[std::size(kAppNameValue)];
    std::copy(std::begin(kAppNameValue), std::end(kAppNameValue), valueName);
    if (GetPrinterDataW(printer, valueName, &type, reinterpret_cast<LPBYTE>(name), kAppNameBytes,
                        &needed) != ERROR_SUCCESS)
        return {};
    return std::string(name, strnlen(name, kAppNameBytes));
}

}  // namespace

void NameRecorder::Record(SettingsRecord& record, HANDLE printer) {
    if (record.userNameFixed == 0) FillRetentionUserName(record);
    if (m_appInfo == nullptr) {
        auto appInfo = std::make_unique<CKXAppInfo>();
        if (!appInfo->Initialize()) return;
        m_appInfo = std::move(appInfo);
    }
    CKXAppInfo& app = *m_appInfo;
    if (app.FileName() != kSpoolerFileName) {
        CopyField(record.appUserName, app.UserName());
        CopyField(record.appDomain, app.Domain());
        const std::string& fileName = app.FileName();
        const bool fits = fileName.size() <= kAppFileNameLength;
        if (printer != nullptr)
            RememberApplicationName(printer, fileName,
                                    fits && (app.Flags() & kAppFlagRecordName) != 0);
        std::memset(record.appFileName, 0, sizeof record.appFileName);
        std::memcpy(record.appFileName, fileName.data(),
                    std::min(fileName.size(), kAppFileNameLength));
        CopyField(record.appModulePath, app.ModulePath());
        CopyField(record.appDescription, app.Description());
        CopyField(record.groupList1, app.Groups().first);
        CopyField(record.groupList2, app.Groups().second);
    } else if (record.appFileName[0] == 0 && printer != nullptr) {
        const std::string remembered = RememberedApplicationName(printer);
        if (!remembered.empty() && remembered.size() <= kAppFileNameLength &&
            (ApplicationFlags(UpperBaseName(FromCodePage(remembered, CP_UTF8))) &
             kAppFlagRecordName) != 0) {
            std::memset(record.appFileName, 0, sizeof record.appFileName);
            std::memcpy(record.appFileName, remembered.data(), remembered.size());
        }
    }
    record.appFlags = app.Flags();
}

}  // namespace xlr
