#include "settings/xml/xml_config_path.h"

#include <vector>

#include <winspool.h>

namespace xlr {
namespace {

std::u16string DriverPath(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
    if (needed < sizeof(DRIVER_INFO_3W)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 3, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    return info->pDriverPath != nullptr ? std::u16string(info->pDriverPath) : std::u16string();
}

bool IsPlainFileName(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    return name.find_first_of(u"\\/:") == std::u16string_view::npos;
}

}  // namespace

std::optional<std::u16string> XmlConfigPath(HANDLE printer, std::u16string_view fileName) {
    if (!IsPlainFileName(fileName)) return std::nullopt;
    const std::u16string driverPath = DriverPath(printer);
    const size_t backslash = driverPath.rfind(u'\\');
    if (backslash == std::u16string::npos) return std::nullopt;
    return driverPath.substr(0, backslash + 1) + std::u16string(fileName);
}

bool IsXmlFileName(std::u16string_view fileName) {
    constexpr std::u16string_view kExtension = u".XML";
    if (fileName.size() < kExtension.size()) return false;
    const std::u16string_view tail = fileName.substr(fileName.size() - kExtension.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        const char16_t c = tail[i] >= u'a' && tail[i] <= u'z' ? tail[i] - u'a' + u'A' : tail[i];
        if (c != kExtension[i]) return false;
    }
    return true;
}

}  // namespace xlr
