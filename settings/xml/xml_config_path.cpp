#include "settings/xml/xml_config_path.h"

#include <vector>

#include <winspool.h>

namespace xlr {
namespace {

WideString DriverPath(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_3W)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    return info->pDriverPath != nullptr ? WideString(info->pDriverPath) : WideString();
}

bool IsPlainFileName(WideStringView name) {
    if (name.empty() || name == WSTR(".") || name == WSTR("..")) return false;
    return name.find_first_of(WSTR("\\/:")) == WideStringView::npos;
}

}  // namespace

std::optional<WideString> XmlConfigPath(HANDLE printer, WideStringView fileName) {
    if (!IsPlainFileName(fileName)) return std::nullopt;
    const WideString driverPath = DriverPath(printer);
    const size_t backslash = driverPath.rfind(WSTR('\\'));
    if (backslash == WideString::npos) return std::nullopt;
    return driverPath.substr(0, backslash + 1) + WideString(fileName);
}

bool IsXmlFileName(WideStringView fileName) {
    constexpr WideStringView kExtension = WSTR(".XML");
    return fileName.size() >= kExtension.size() &&
           ToUpper(fileName.substr(fileName.size() - kExtension.size())) == kExtension;
}

}  // namespace xlr
