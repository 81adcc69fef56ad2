// Lookups in a TrueType font file (the whole sfnt image, big-endian): the table
// directory, one glyph's outline data, the number of glyphs. A table or glyph
// that does not lie inside the image is treated as absent.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "fonts/font_bytes.h"

namespace xlr {

// The complete font file as the operating system returns it.
using FontImage = FontBytes;

// A table tag as the directory stores it: four bytes, first byte highest.
// Three-letter tags ("cvt") end with a NUL byte.
constexpr uint32_t TableTag(const char (&name)[5]) {
    return uint32_t{static_cast<uint8_t>(name[0])} << 24 |
           uint32_t{static_cast<uint8_t>(name[1])} << 16 |
           uint32_t{static_cast<uint8_t>(name[2])} << 8 | uint32_t{static_cast<uint8_t>(name[3])};
}
constexpr uint32_t TableTag(const char (&name)[4]) {
    return uint32_t{static_cast<uint8_t>(name[0])} << 24 |
           uint32_t{static_cast<uint8_t>(name[1])} << 16 |
           uint32_t{static_cast<uint8_t>(name[2])} << 8;
}

// Byte offsets of the sfnt header and its directory.
constexpr uint32_t kNumTablesOffset = 4;
constexpr uint32_t kDirectoryOffset = 12;
constexpr uint32_t kDirectoryEntrySize = 16;

// The four bytes of a 32-bit value in reverse order (big-endian to host and back).
constexpr uint32_t Swap32(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) |
           (value << 24);
}

struct TableDirectoryEntry {
    uint32_t tag;
    uint32_t checksum;
    uint32_t offset;  // from the start of the image
    uint32_t length;
};

// The numTables entries of the directory, in file order; none when the image
// is too short to hold the header and every entry. Entries are not checked
// against the image: FindTable and the download do that for what they use.
std::optional<std::vector<TableDirectoryEntry>> ReadTableDirectory(FontImage font);

// The bytes of the table with `tag` (the later entry when the tag occurs
// twice), or none when there is no such table or its bytes run past the image.
std::optional<FontBytes> FindTable(FontImage font, uint32_t tag);

// FindTable for each of `tags`, in one walk of the directory.
template <size_t N>
std::array<std::optional<FontBytes>, N> FindTables(FontImage font,
                                                   const std::array<uint32_t, N>& tags) {
    std::array<std::optional<FontBytes>, N> found;
    const auto count = PeekBE16(font, kNumTablesOffset);
    if (!count) return found;
    for (uint32_t i = 0; i < *count; ++i) {
        const uint64_t at = kDirectoryOffset + uint64_t{i} * kDirectoryEntrySize;
        const auto entry = SubBytes(font, at, kDirectoryEntrySize);
        if (!entry) return {};  // the directory is cut off
        const uint32_t entryTag = *PeekBE32(*entry, 0);
        for (size_t t = 0; t < N; ++t)
            if (entryTag == tags[t])
                found[t] = SubBytes(font, *PeekBE32(*entry, 8), *PeekBE32(*entry, 12));
    }
    return found;
}

// The outline data of glyph `glyph` (glyf, located through loca; head's
// indexToLocFormat chooses short or long offsets) and its length. `length` is
// set to next - start before the checks, so a failed lookup may leave a wrapped
// difference in it. Fails (null) when a table is missing, the loca entries lie
// past the table, next is 0 or below start, or the glyph runs past glyf. An
// empty glyph (the space) is found with length 0.
const uint8_t* FindGlyph(FontImage font, uint32_t& length, uint16_t glyph);

// numGlyphs of the "maxp" (or "MAXP") table; 0 without one.
uint16_t GlyphCount(FontImage font);

// True when the glyph's numberOfContours is negative; an empty glyph is simple.
bool IsCompositeGlyph(FontBytes glyph);

}  // namespace xlr
