#include "fonts/glyph_map.h"

#include <algorithm>
#include <vector>

namespace xlr {
namespace {

constexpr uint16_t kPlatformUnicode = 0;
constexpr uint16_t kEncodingWindowsUnicode = 1;
constexpr uint32_t kLeastUnicodeCharCount = 95;
constexpr uint32_t kUnmappedUnicodeGlyph = 32;
constexpr uint32_t kSymbolCodeBase = 0xF000;

// The four arrays of a format-4 subtable, read once (each segCount big-endian
// words, known to lie inside the cmap table) so that the segment searches,
// which run for every code, walk plain arrays.
struct Segments {
    FontBytes cmap;
    uint64_t idRangeOffsets;  // offset of the idRangeOffset array in cmap
    std::vector<uint16_t> ends, starts, deltas, rangeOffsets;

    uint32_t count() const { return static_cast<uint32_t>(ends.size()); }

    // The glyph that segment s gives a code whose offset in the segment's range
    // is `delta` and whose full code is `code`. Through glyphIdArray when the
    // segment has a range offset (element idRangeOffset/2 + s + delta counted
    // from the segment's own idRangeOffset entry; 0 when it lies past the table,
    // and idDelta added to any non-zero element), else code + idDelta.
    uint32_t Glyph(uint32_t s, int64_t delta, uint32_t code) const {
        const uint16_t rangeOffset = rangeOffsets[s];
        if (rangeOffset == 0) return (deltas[s] + code) & 0xFFFF;
        const int64_t index = rangeOffset / 2 + int64_t{s} + delta;
        if (index < 0) return 0;
        const auto glyph = PeekBE16(cmap, idRangeOffsets + static_cast<uint64_t>(index) * 2);
        if (!glyph || *glyph == 0) return 0;
        return (*glyph + deltas[s]) & 0xFFFF;
    }
};

struct ChosenSubtable {
    uint16_t platform;
    uint16_t encoding;
    uint64_t offset;  // in cmap
};

// The first encoding record whose subtable is of format 4. Records whose
// subtable lies outside the table are passed over.
std::optional<ChosenSubtable> FindFormat4(FontBytes cmap, uint32_t& lastFormat) {
    const auto records = PeekBE16(cmap, 2);
    if (!records) return std::nullopt;
    for (uint32_t r = 0; r < *records; ++r) {
        const uint64_t at = 4 + uint64_t{r} * 8;
        const auto platform = PeekBE16(cmap, at);
        const auto encoding = PeekBE16(cmap, at + 2);
        const auto offset = PeekBE32(cmap, at + 4);
        if (!platform || !encoding || !offset) break;  // the records run past the table
        const auto format = PeekBE16(cmap, *offset);
        if (!format) continue;
        lastFormat = *format;
        if (*format == 4) return ChosenSubtable{*platform, *encoding, *offset};
    }
    return std::nullopt;
}

std::optional<Segments> ReadSegments(FontBytes cmap, uint64_t subtable) {
    const auto segCountX2 = PeekBE16(cmap, subtable + 6);
    if (!segCountX2) return std::nullopt;
    const uint32_t count = *segCountX2 / 2;
    const uint64_t arrays = subtable + 14;
    const uint64_t arrayBytes = uint64_t{count} * 2;
    // endCode, a reserved word, startCode, idDelta, idRangeOffset.
    if (!SubBytes(cmap, arrays, arrayBytes * 4 + 2)) return std::nullopt;
    const auto words = [&](uint64_t at) {
        std::vector<uint16_t> values(count);
        for (uint32_t s = 0; s < count; ++s) values[s] = *PeekBE16(cmap, at + uint64_t{s} * 2);
        return values;
    };
    return Segments{cmap,
                    arrays + arrayBytes * 3 + 2,
                    words(arrays),
                    words(arrays + arrayBytes + 2),
                    words(arrays + arrayBytes * 2 + 2),
                    words(arrays + arrayBytes * 3 + 2)};
}

void MapSymbolCodes(const Segments& segments, OverlayGlyphMap& map) {
    for (uint32_t c = 0; c < 255; ++c) {
        uint32_t glyph = 0;
        for (uint32_t s = 0; s < segments.count(); ++s) {
            const uint32_t start = segments.starts[s] & 0xFF, end = segments.ends[s] & 0xFF;
            if (start <= c && c <= end) {
                glyph = segments.Glyph(s, int64_t{c} - start, kSymbolCodeBase | c);
                break;
            }
        }
        map.glyphOf[c] = glyph;
    }
}

void MapUnicodeCodes(const Segments& segments, OverlayGlyphMap& map) {
    for (uint32_t c = 0; c < map.charCount; ++c) {
        uint32_t glyph = kUnmappedUnicodeGlyph;
        for (uint32_t s = 0; s < segments.count(); ++s) {
            const uint32_t start = segments.starts[s], end = segments.ends[s];
            if (start <= c && c <= end) {
                glyph = segments.Glyph(s, int64_t{c} - start, c);
                break;
            }
        }
        map.glyphOf[c] = glyph;
    }
}

}  // namespace

void BuildGlyphMap(FontImage font, OverlayGlyphMap& map) {
    map.charCount = std::min<uint32_t>(map.charCount, 256);
    for (uint32_t i = 0; i < map.charCount; ++i) map.glyphOf[i] = i;
    map.cmapFormat = 0;
    const auto cmap = FindTable(font, TableTag("cmap"));
    if (!cmap) return;
    const auto chosen = FindFormat4(*cmap, map.cmapFormat);
    if (!chosen) return;
    const auto segments = ReadSegments(*cmap, chosen->offset);
    if (!segments) {
        map.cmapFormat = 0;
        return;
    }
    const bool unicode =
        chosen->platform == kPlatformUnicode || chosen->encoding == kEncodingWindowsUnicode;
    if (unicode && map.charCount >= kLeastUnicodeCharCount)
        MapUnicodeCodes(*segments, map);
    else
        MapSymbolCodes(*segments, map);
}

}  // namespace xlr
