// Small TrueType images for the font tests, built table by table so that each
// test states the bytes it depends on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xltest {

using Bytes = std::vector<uint8_t>;

inline void PutBE16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
inline void PutBE32(Bytes& out, uint32_t v) {
    PutBE16(out, v >> 16);
    PutBE16(out, v & 0xFFFF);
}

struct TestTable {
    std::string tag;  // four characters; "cvt" gets a NUL as its fourth byte
    Bytes data;
};

// An sfnt image: the 12-byte header, the directory in the order given, then the
// tables in the same order, each padded to four bytes. Checksums are the table's
// index, so that tests can follow an entry.
Bytes BuildFont(const std::vector<TestTable>& tables);

// head with indexToLocFormat at byte 50 (54 bytes).
Bytes HeadTable(uint16_t indexToLocFormat);
// maxp version 0.5: version and numGlyphs (6 bytes).
Bytes MaxpTable(uint16_t numGlyphs);
// loca of the given byte offsets: halved words when `longOffsets` is false.
Bytes LocaTable(const std::vector<uint32_t>& offsets, bool longOffsets);

struct CmapSegment {
    uint16_t start, end;
    int16_t delta;
    uint16_t rangeOffset;
};
// A cmap with one encoding record (platform, encoding) and its format-4
// subtable: the segments, then `glyphIds` as the glyph index array.
Bytes CmapTable(uint16_t platform, uint16_t encoding, const std::vector<CmapSegment>& segments,
                const std::vector<uint16_t>& glyphIds = {});

// A simple glyph: numberOfContours 1, a bounding box, then `extra` bytes.
Bytes SimpleGlyph(size_t extra = 4);
// A composite glyph naming `components`, each with word arguments and no scale.
Bytes CompositeGlyph(const std::vector<uint16_t>& components);

// glyf and loca for a list of glyphs, glyph i at the offsets loca gives it.
struct GlyphTables {
    Bytes glyf, loca;
};
GlyphTables GlyphsOf(const std::vector<Bytes>& glyphs, bool longOffsets);

// The bytes of a system font file (empty when it cannot be read).
Bytes ReadFontFile(const std::string& path);
// DejaVu Sans, which the project's packages install.
std::string DejaVuSansPath();

}  // namespace xltest

namespace xltest {

// Where the directory entry of table `tag` starts in `font`; 0 when there is none.
size_t DirectoryEntryOf(const Bytes& font, const std::string& tag);

// Damage that FreeType passes over (the font still loads and renders) but that
// the download cannot send: a table that lies far past the end of the file (the
// font must have an "FFTM" table), or loca offsets past the end of glyf (the
// font must have long loca offsets).
enum class FontDamage { TablePastEnd, LocaPastGlyf };
Bytes Damaged(Bytes font, FontDamage damage);

// Writes `font` to `path` with every `from` in it (as ASCII and as UTF-16BE,
// the forms the name table uses) replaced by `to` of the same length, padded
// with zeros to `size` bytes when that is larger: a font of a family of its own.
void WriteRenamedFont(const Bytes& font, const std::string& from, const std::string& to,
                      size_t size, const std::string& path);

}  // namespace xltest
