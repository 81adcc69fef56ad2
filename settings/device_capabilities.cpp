#include "settings/device_capabilities.h"

#include <cstdio>
#include <cstring>

#include <winspool.h>

namespace xlr {
namespace {

constexpr int kRetries = 4;
constexpr DWORD kRetryDelayMs = 500;
constexpr size_t kNameUnits = 64;

// A busy spooler may refuse a capability query for a moment: the call is made
// again up to four times, half a second apart. `stage` is 1 for the count and
// 2 for the list in the trace line of a retry that succeeds.
template <typename Call>
int WithRetries(Call call, const char* what, int stage) {
    int result = call();
    for (int attempt = 1; result < 0 && attempt <= kRetries; ++attempt) {
        Sleep(kRetryDelayMs);
        result = call();
        if (result >= 0) {
            char text[96];
            std::snprintf(text, sizeof text, "\nCKXCommon::%s(%d)::- %u", what, stage,
                          static_cast<unsigned>(attempt));
            OutputDebugStringA(text);
        }
    }
    return result;
}

// Reads `count` entries of `entrySize` units into a buffer one entry larger.
std::optional<std::vector<WCHAR>> ReadList(LPCWSTR printer, LPCWSTR port, WORD capability,
                                           const DEVMODEW* devmode, size_t entryUnits,
                                           const char* what, int& count) {
    count = WithRetries(
        [&] { return DeviceCapabilitiesW(printer, port, capability, nullptr, devmode); }, what, 1);
    if (count < 0) return std::nullopt;
    std::vector<WCHAR> buffer((static_cast<size_t>(count) + 1) * entryUnits, 0);
    const int read = WithRetries(
        [&] { return DeviceCapabilitiesW(printer, port, capability, buffer.data(), devmode); },
        what, 2);
    if (read < 0) return std::nullopt;
    if (read < count) count = read;
    return buffer;
}

std::optional<std::vector<WideString>> Names(LPCWSTR printer, LPCWSTR port, WORD capability,
                                             const DEVMODEW* devmode, const char* what) {
    int count = 0;
    auto buffer = ReadList(printer, port, capability, devmode, kNameUnits, what, count);
    if (!buffer) return std::nullopt;
    std::vector<WideString> names;
    for (int i = 0; i < count; ++i) {
        const WCHAR* entry = buffer->data() + static_cast<size_t>(i) * kNameUnits;
        size_t length = 0;
        while (length < kNameUnits && entry[length] != 0) ++length;
        names.emplace_back(entry, length);
    }
    return names;
}

template <typename T>
std::optional<std::vector<T>> Numbers(LPCWSTR printer, LPCWSTR port, WORD capability,
                                      const DEVMODEW* devmode, const char* what) {
    int count = 0;
    auto buffer =
        ReadList(printer, port, capability, devmode, (sizeof(T) + 1) / sizeof(WCHAR), what, count);
    if (!buffer) return std::nullopt;
    std::vector<T> numbers(static_cast<size_t>(count));
    std::memcpy(numbers.data(), buffer->data(), numbers.size() * sizeof(T));
    return numbers;
}

}  // namespace

std::optional<std::vector<WideString>> BGetPaperSizeNames(LPCWSTR printer, LPCWSTR port,
                                                          const DEVMODEW* dm) {
    return Names(printer, port, DC_PAPERNAMES, dm, "BGetPaperSizeNames");
}

std::optional<std::vector<WORD>> BGetPaperSizeIndices(LPCWSTR printer, LPCWSTR port,
                                                      const DEVMODEW* dm) {
    return Numbers<WORD>(printer, port, DC_PAPERS, dm, "BGetPaperSizeIndices");
}

std::optional<std::vector<WideString>> BGetMediaTypeNames(LPCWSTR printer, LPCWSTR port,
                                                          const DEVMODEW* dm) {
    return Names(printer, port, DC_MEDIATYPENAMES, dm, "BGetMediaTypeNames");
}

std::optional<std::vector<DWORD>> BGetMediaTypeIndices(LPCWSTR printer, LPCWSTR port,
                                                       const DEVMODEW* dm) {
    return Numbers<DWORD>(printer, port, DC_MEDIATYPES, dm, "BGetMediaTypeIndices");
}

WideString PrinterName(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W)) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pPrinterName != nullptr ? WideString(info->pPrinterName) : WideString();
}

}  // namespace xlr
