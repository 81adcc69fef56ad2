#include "settings/media/printer_data_lists.h"

#include <cstring>

#include <winspool.h>

namespace xlr {
namespace {

constexpr DWORD kMaxTextBytes = 64 * 1024;

// GetPrinterDataW takes a writable name.
DWORD QueryValue(HANDLE printer, WideStringView name, LPBYTE data, DWORD size, DWORD& needed) {
    WideString writable(name);
    DWORD type = 0;
    needed = 0;
    return GetPrinterDataW(printer, writable.data(), &type, data, size, &needed);
}

}  // namespace

std::optional<DWORD> ReadPrinterDataCount(HANDLE printer, WideStringView name) {
    DWORD count = 0, needed = 0;
    if (printer == nullptr ||
        QueryValue(printer, name, reinterpret_cast<LPBYTE>(&count), sizeof count, needed) !=
            ERROR_SUCCESS ||
        needed != sizeof count)
        return std::nullopt;
    return count;
}

std::optional<std::vector<uint32_t>> ReadPrinterDataList(HANDLE printer, WideStringView countName,
                                                         WideStringView listName) {
    const std::optional<DWORD> count = ReadPrinterDataCount(printer, countName);
    if (!count || *count == 0 || *count > kMaxPrinterDataListEntries) return std::nullopt;
    std::vector<uint32_t> entries(*count, 0);
    DWORD needed = 0;
    if (QueryValue(printer, listName, reinterpret_cast<LPBYTE>(entries.data()),
                   *count * sizeof(uint32_t), needed) != ERROR_SUCCESS)
        return std::nullopt;
    entries.resize(std::min<size_t>(entries.size(), needed / sizeof(uint32_t)));
    return entries;
}

std::optional<WideString> ReadPrinterDataText(HANDLE printer, WideStringView textName) {
    if (printer == nullptr) return std::nullopt;
    DWORD needed = 0;
    QueryValue(printer, textName, nullptr, 0, needed);
    if (needed == 0 || needed > kMaxTextBytes) return std::nullopt;
    std::vector<BYTE> bytes(needed, 0);
    if (QueryValue(printer, textName, bytes.data(), needed, needed) != ERROR_SUCCESS)
        return std::nullopt;
    WideString text(needed / sizeof(WCHAR), WSTR('\0'));
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(WCHAR));
    const size_t terminator = text.find(WSTR('\0'));
    if (terminator != WideString::npos) text.resize(terminator);
    return text;
}

}  // namespace xlr
