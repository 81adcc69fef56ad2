#include "fonts/font_builder.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace xltest {

Bytes BuildFont(const std::vector<TestTable>& tables) {
    Bytes out;
    PutBE32(out, 0x00010000);
    PutBE16(out, static_cast<uint32_t>(tables.size()));
    PutBE16(out, 0x0080);  // searchRange, entrySelector, rangeShift: copied, never read
    PutBE16(out, 0x0003);
    PutBE16(out, 0x0020);
    uint32_t offset = 12 + 16 * static_cast<uint32_t>(tables.size());
    for (size_t i = 0; i < tables.size(); ++i) {
        std::string tag = tables[i].tag;
        tag.resize(4, '\0');
        out.insert(out.end(), tag.begin(), tag.end());
        PutBE32(out, static_cast<uint32_t>(i));
        PutBE32(out, offset);
        PutBE32(out, static_cast<uint32_t>(tables[i].data.size()));
        offset += (static_cast<uint32_t>(tables[i].data.size()) + 3) & ~3u;
    }
    for (const TestTable& table : tables) {
        out.insert(out.end(), table.data.begin(), table.data.end());
        out.resize((out.size() + 3) & ~size_t{3}, 0);
    }
    return out;
}

Bytes HeadTable(uint16_t indexToLocFormat) {
    Bytes head(54, 0);
    head[50] = static_cast<uint8_t>(indexToLocFormat >> 8);
    head[51] = static_cast<uint8_t>(indexToLocFormat);
    return head;
}

Bytes MaxpTable(uint16_t numGlyphs) {
    Bytes maxp;
    PutBE32(maxp, 0x00005000);
    PutBE16(maxp, numGlyphs);
    return maxp;
}

Bytes LocaTable(const std::vector<uint32_t>& offsets, bool longOffsets) {
    Bytes loca;
    for (uint32_t offset : offsets) {
        if (longOffsets)
            PutBE32(loca, offset);
        else
            PutBE16(loca, offset / 2);
    }
    return loca;
}

Bytes CmapTable(uint16_t platform, uint16_t encoding, const std::vector<CmapSegment>& segments,
                const std::vector<uint16_t>& glyphIds) {
    Bytes cmap;
    PutBE16(cmap, 0);  // version
    PutBE16(cmap, 1);  // one encoding record
    PutBE16(cmap, platform);
    PutBE16(cmap, encoding);
    PutBE32(cmap, 12);  // the subtable follows the record
    const auto count = static_cast<uint32_t>(segments.size());
    PutBE16(cmap, 4);
    PutBE16(cmap, 16 + 8 * count + 2 * static_cast<uint32_t>(glyphIds.size()));
    PutBE16(cmap, 0);  // language
    PutBE16(cmap, count * 2);
    PutBE16(cmap, 0);  // searchRange, entrySelector, rangeShift: not read
    PutBE16(cmap, 0);
    PutBE16(cmap, 0);
    for (const auto& s : segments) PutBE16(cmap, s.end);
    PutBE16(cmap, 0);  // reservedPad
    for (const auto& s : segments) PutBE16(cmap, s.start);
    for (const auto& s : segments) PutBE16(cmap, static_cast<uint16_t>(s.delta));
    for (const auto& s : segments) PutBE16(cmap, s.rangeOffset);
    for (uint16_t id : glyphIds) PutBE16(cmap, id);
    return cmap;
}

Bytes SimpleGlyph(size_t extra) {
    Bytes glyph;
    PutBE16(glyph, 1);  // one contour
    for (int i = 0; i < 4; ++i) PutBE16(glyph, 10 * i);
    for (size_t i = 0; i < extra; ++i) glyph.push_back(static_cast<uint8_t>(0xA0 + i));
    return glyph;
}

Bytes CompositeGlyph(const std::vector<uint16_t>& components) {
    Bytes glyph;
    PutBE16(glyph, 0xFFFF);  // numberOfContours -1
    for (int i = 0; i < 4; ++i) PutBE16(glyph, 0);
    for (size_t i = 0; i < components.size(); ++i) {
        const bool more = i + 1 < components.size();
        PutBE16(glyph, 0x0001 | (more ? 0x0020 : 0));  // word arguments
        PutBE16(glyph, components[i]);
        PutBE32(glyph, 0);  // two word arguments
    }
    return glyph;
}

GlyphTables GlyphsOf(const std::vector<Bytes>& glyphs, bool longOffsets) {
    GlyphTables tables;
    std::vector<uint32_t> offsets;
    for (const Bytes& glyph : glyphs) {
        offsets.push_back(static_cast<uint32_t>(tables.glyf.size()));
        tables.glyf.insert(tables.glyf.end(), glyph.begin(), glyph.end());
        tables.glyf.resize((tables.glyf.size() + 1) & ~size_t{1}, 0);  // short offsets are even
    }
    offsets.push_back(static_cast<uint32_t>(tables.glyf.size()));
    tables.loca = LocaTable(offsets, longOffsets);
    return tables;
}

Bytes ReadFontFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string DejaVuSansPath() {
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

void WriteRenamedFont(const Bytes& font, const std::string& from, const std::string& to,
                      size_t size, const std::string& path) {
    Bytes out = font;
    const auto replace = [&out](const Bytes& a, const Bytes& b) {
        for (auto it = std::search(out.begin(), out.end(), a.begin(), a.end()); it != out.end();
             it = std::search(it + 1, out.end(), a.begin(), a.end()))
            std::copy(b.begin(), b.end(), it);
    };
    const auto wide = [](const std::string& s) {
        Bytes w;
        for (char c : s) w.insert(w.end(), {0, static_cast<uint8_t>(c)});
        return w;
    };
    replace(Bytes(from.begin(), from.end()), Bytes(to.begin(), to.end()));
    replace(wide(from), wide(to));
    if (out.size() < size) out.resize(size, 0);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

size_t DirectoryEntryOf(const Bytes& font, const std::string& tag) {
    if (font.size() < 12) return 0;
    const size_t tables = size_t{font[4]} << 8 | font[5];
    for (size_t i = 0; i < tables && 12 + i * 16 + 16 <= font.size(); ++i)
        if (std::equal(tag.begin(), tag.end(), font.begin() + 12 + i * 16)) return 12 + i * 16;
    return 0;
}

Bytes Damaged(Bytes font, FontDamage damage) {
    const auto storeBE32 = [&font](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) font[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    };
    const auto readBE32 = [&font](size_t at) {
        return uint32_t{font[at]} << 24 | uint32_t{font[at + 1]} << 16 |
               uint32_t{font[at + 2]} << 8 | font[at + 3];
    };
    if (damage == FontDamage::TablePastEnd) {
        const size_t entry = DirectoryEntryOf(font, "FFTM");
        if (entry != 0) storeBE32(entry + 8, 0x7F000000);
        return font;
    }
    const size_t loca = DirectoryEntryOf(font, "loca");
    if (loca == 0) return font;
    const uint32_t offset = readBE32(loca + 8), length = readBE32(loca + 12);
    // Rising offsets, so that every glyph has a length, all of them past glyf.
    for (uint32_t at = 0; at + 4 <= length && offset + at + 4 <= font.size(); at += 4)
        storeBE32(offset + at, 0x7F000000 + at);
    return font;
}

}  // namespace xltest
