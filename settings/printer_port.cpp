#include "settings/printer_port.h"

#include <vector>

#include <winspool.h>

namespace xlr {
namespace {

struct PortMarker {
    WideStringView text;
    PortKind kind;
};

// Searched in this order: "LPT1:" must win over a path such as "C:\LPT1:".
constexpr PortMarker kPortMarkers[] = {
    {WSTR("LPT1:"), PortKind::Lpt1}, {WSTR("LPT2:"), PortKind::Lpt2},
    {WSTR("LPT3:"), PortKind::Lpt3}, {WSTR("USB"), PortKind::Usb},
    {WSTR("DOT4"), PortKind::Dot4},  {WSTR("FILE:"), PortKind::File},
    {WSTR(":\\"), PortKind::Path},
};

}  // namespace

PortKind ClassifyPortName(WideStringView portName) {
    const WideString upper = ToUpper(portName);
    for (const PortMarker& marker : kPortMarkers)
        if (upper.find(marker.text) != WideString::npos) return marker.kind;
    return PortKind::Other;
}

PortKind PrinterPortKind(HANDLE printer) {
    if (printer == nullptr) return PortKind::Other;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return PortKind::Other;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return PortKind::Other;
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pPortName != nullptr ? ClassifyPortName(info->pPortName) : PortKind::Other;
}

}  // namespace xlr
