#include "image/direct_port.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <winspool.h>

#include "settings/wide_text.h"

namespace xlr {
namespace {

constexpr std::array<WideStringView, 5> kDirectPortMarkers = {
    WSTR("LPT1:"), WSTR("LPT2:"), WSTR("LPT3:"), WSTR("USB"), WSTR("DOT4"),
};

}  // namespace

bool IsDirectConnection(HANDLE printer) {
    if (printer == nullptr) return false;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return false;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return false;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    if (info->pPortName == nullptr) return false;
    WideString port(info->pPortName);
    if (!port.empty()) CharUpperBuffW(port.data(), static_cast<DWORD>(port.size()));
    return std::any_of(
        kDirectPortMarkers.begin(), kDirectPortMarkers.end(),
        [&](WideStringView marker) { return port.find(marker) != WideString::npos; });
}

}  // namespace xlr
