#include "job/accounting/job_notification.h"

#include <string>

#include <winspool.h>

#include "job/registry_key.h"

namespace xlr {
namespace {

bool DisabledForMachine() {
    KeyHandle handle;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WSTR("SOFTWARE\\Corvane\\KX SSNP"), 0, KEY_READ,
                      &handle.key) != ERROR_SUCCESS)
        return false;
    DWORD value = 0, type = 0, size = sizeof value;
    return RegQueryValueExW(handle.key, WSTR("SSNPDisableAll"), nullptr, &type,
                            reinterpret_cast<LPBYTE>(&value), &size) == ERROR_SUCCESS &&
           type == REG_DWORD && value != 0;
}

bool EnabledForPrinter(HANDLE printer) {
    DWORD value = 0, type = 0, needed = 0;
    WCHAR name[] = WSTR("SSNPNotifyEventSetting");
    return GetPrinterDataW(printer, name, &type, reinterpret_cast<LPBYTE>(&value), sizeof value,
                           &needed) == ERROR_SUCCESS &&
           type == REG_DWORD && needed == sizeof value && value == 1;
}

WideString NotificationFile() {
    WCHAR directory[MAX_PATH + 1] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(directory),
                                    MAX_PATH * sizeof(WCHAR), &needed))
        return {};
    return WideString(directory) + WSTR("\\kxmssnp.job");
}

WideString ComputerName() {
    WCHAR name[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH + 1;
    return GetComputerNameW(name, &size) ? WideString(name) : WideString();
}

void WriteKey(const WideString& file, const WideString& section, LPCWSTR key,
              const WideString& value) {
    if (!value.empty())
        WritePrivateProfileStringW(section.c_str(), key, value.c_str(), file.c_str());
}

}  // namespace

WideString NotificationSection(WideStringView machine, DWORD jobId) {
    const std::string number = std::to_string(jobId);
    return WideString(machine) + WSTR('-') + WideString(number.begin(), number.end());
}

void UpdateJobNotification(HANDLE printer, DWORD jobId, const AccountingValues& values) {
    if (printer == nullptr || DisabledForMachine() || !EnabledForPrinter(printer)) return;
    const WideString file = NotificationFile();
    if (file.empty()) return;
    const WideString machine = FromCodePage(values.machine, CP_ACP);
    const WideString section = NotificationSection(machine, jobId);
    WriteKey(file, section, WSTR("user"), FromCodePage(values.user, CP_UTF8));
    WriteKey(file, section, WSTR("domain"), FromCodePage(values.domain, CP_ACP));
    WriteKey(file, section, WSTR("guid"), FromCodePage(values.jobId, CP_ACP));
    // A client's sections would pile up; the one two jobs back is done with.
    // (Job numbers start at 1, so there is none before job 3.)
    if (!SameText(machine, ComputerName()) && jobId > 2)
        WritePrivateProfileStringW(NotificationSection(machine, jobId - 2).c_str(), nullptr,
                                   nullptr, file.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // flush
}

}  // namespace xlr
