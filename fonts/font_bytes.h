// Checked big-endian reads over a font image. A font file comes from outside the
// plug-in, so every offset and length taken from it is checked against the bytes
// at hand before use; a read that would leave them answers "none".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace xlr {

using FontBytes = std::span<const uint8_t>;

// The `length` bytes at `offset`, or none when they do not all lie inside `bytes`.
// Written so that neither sum can overflow.
inline std::optional<FontBytes> SubBytes(FontBytes bytes, uint64_t offset, uint64_t length) {
    if (offset > bytes.size() || length > bytes.size() - offset) return std::nullopt;
    return bytes.subspan(static_cast<size_t>(offset), static_cast<size_t>(length));
}

inline std::optional<uint16_t> PeekBE16(FontBytes bytes, uint64_t offset) {
    if (offset > bytes.size() || 2 > bytes.size() - offset) return std::nullopt;
    return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

inline std::optional<uint32_t> PeekBE32(FontBytes bytes, uint64_t offset) {
    if (offset > bytes.size() || 4 > bytes.size() - offset) return std::nullopt;
    return uint32_t{bytes[offset]} << 24 | uint32_t{bytes[offset + 1]} << 16 |
           uint32_t{bytes[offset + 2]} << 8 | uint32_t{bytes[offset + 3]};
}

// Stores for the big-endian data inside downloaded font headers and characters.
inline void StoreBE16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

inline void StoreBE32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

}  // namespace xlr
