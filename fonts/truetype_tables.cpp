#include "fonts/truetype_tables.h"

namespace xlr {
namespace {

constexpr uint32_t kIndexToLocFormatOffset = 50;  // in head
constexpr uint32_t kNumGlyphsOffset = 4;          // in maxp

}  // namespace

std::optional<std::vector<TableDirectoryEntry>> ReadTableDirectory(FontImage font) {
    const auto count = PeekBE16(font, kNumTablesOffset);
    if (!count) return std::nullopt;
    const auto directory = SubBytes(font, kDirectoryOffset, uint64_t{*count} * kDirectoryEntrySize);
    if (!directory) return std::nullopt;
    std::vector<TableDirectoryEntry> entries(*count);
    for (uint32_t i = 0; i < *count; ++i) {
        const uint64_t at = uint64_t{i} * kDirectoryEntrySize;
        entries[i] = {*PeekBE32(*directory, at), *PeekBE32(*directory, at + 4),
                      *PeekBE32(*directory, at + 8), *PeekBE32(*directory, at + 12)};
    }
    return entries;
}

std::optional<FontBytes> FindTable(FontImage font, uint32_t tag) {
    return FindTables(font, std::array{tag})[0];
}

const uint8_t* FindGlyph(FontImage font, uint32_t& length, uint16_t glyph) {
    const auto count = PeekBE16(font, kNumTablesOffset);
    if (!count || *count < 1) return nullptr;
    const auto [glyf, loca, maxp, head] = FindTables(
        font, std::array{TableTag("glyf"), TableTag("loca"), TableTag("maxp"), TableTag("head")});
    if (!glyf || !loca || !maxp || !head) return nullptr;
    const auto format = PeekBE16(*head, kIndexToLocFormatOffset);
    if (!format) return nullptr;

    std::optional<uint32_t> start, next;
    if (*format != 0) {
        start = PeekBE32(*loca, uint64_t{glyph} * 4);
        next = PeekBE32(*loca, (uint64_t{glyph} + 1) * 4);
    } else {
        const auto shortStart = PeekBE16(*loca, uint64_t{glyph} * 2);
        const auto shortNext = PeekBE16(*loca, (uint64_t{glyph} + 1) * 2);
        if (shortStart) start = uint32_t{*shortStart} * 2;
        if (shortNext) next = uint32_t{*shortNext} * 2;
    }
    if (!start || !next) return nullptr;
    length = *next - *start;
    if (*next == 0 || *next < *start) return nullptr;
    const auto data = SubBytes(*glyf, *start, length);
    return data ? data->data() : nullptr;
}

uint16_t GlyphCount(FontImage font) {
    auto maxp = FindTable(font, TableTag("maxp"));
    if (!maxp) maxp = FindTable(font, TableTag("MAXP"));
    if (!maxp) return 0;
    return PeekBE16(*maxp, kNumGlyphsOffset).value_or(0);
}

bool IsCompositeGlyph(FontBytes glyph) {
    const auto contours = PeekBE16(glyph, 0);
    return contours && static_cast<int16_t>(*contours) < 0;
}

}  // namespace xlr
