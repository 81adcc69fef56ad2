// Packs records and their strings into a caller's buffer the way the spooler
// answers GetPrinterW, GetJobW and their kind: the records first, then the texts
// they point to. A first pass measures, a second one writes.
#pragma once

#include <windows.h>

#include <cstring>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

namespace xlplatform {

class RecordPacker {
  public:
    // `buffer` null: measure only; the returned pointers are then null.
    RecordPacker(BYTE* buffer, size_t recordBytes) : buffer_(buffer), used_(recordBytes) {}

    LPWSTR String(std::u16string_view text) {
        Align(alignof(WCHAR));
        auto* out = reinterpret_cast<LPWSTR>(
            Place(text.data(), text.size() * sizeof(WCHAR), sizeof(WCHAR)));
        return out;
    }

    // A list of NUL-terminated strings ending with an empty one.
    LPWSTR MultiString(const std::vector<std::u16string>& texts) {
        Align(alignof(WCHAR));
        LPWSTR first = buffer_ != nullptr ? reinterpret_cast<LPWSTR>(buffer_ + used_) : nullptr;
        for (const std::u16string& text : texts) String(text);
        String(u"");
        return first;
    }

    void* Bytes(std::span<const BYTE> bytes, size_t alignment) {
        Align(alignment);
        return Place(bytes.data(), bytes.size(), 0);
    }

    size_t Used() const { return used_; }

  private:
    void Align(size_t alignment) { used_ = (used_ + alignment - 1) / alignment * alignment; }

    // Copies `size` bytes and `zeros` terminating zero bytes.
    void* Place(const void* data, size_t size, size_t zeros) {
        BYTE* at = buffer_ != nullptr ? buffer_ + used_ : nullptr;
        if (at != nullptr) {
            if (size != 0) std::memcpy(at, data, size);
            std::memset(at + size, 0, zeros);
        }
        used_ += size + zeros;
        return at;
    }

    BYTE* buffer_;
    size_t used_;
};

// Runs `fill(records, packer)` once to measure and, when the caller's buffer is
// large enough, once more into it. Sets `needed`; fails with
// ERROR_INSUFFICIENT_BUFFER when the buffer is null or too small.
template <typename Record, typename Fill>
BOOL PackRecords(size_t count, LPBYTE buffer, DWORD size, LPDWORD needed, Fill&& fill) {
    if (needed == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<Record> scratch(count);
    RecordPacker measure(nullptr, count * sizeof(Record));
    fill(scratch.data(), measure);
    if (measure.Used() > std::numeric_limits<DWORD>::max()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    *needed = static_cast<DWORD>(measure.Used());
    if (buffer == nullptr || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memset(buffer, 0, count * sizeof(Record));
    RecordPacker write(buffer, count * sizeof(Record));
    fill(reinterpret_cast<Record*>(buffer), write);
    return TRUE;
}

}  // namespace xlplatform
