// The PCL XL font header of a downloaded TrueType font: the descriptor, a GT
// segment carrying the font's hinting and metrics tables under a directory of
// their own, and the null segment. Glyph outlines follow as characters
// (glyph_download.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "fonts/glyph_map.h"
#include "fonts/truetype_tables.h"
#include "pclxl/stream.h"

namespace xlr {

// One entry of the font's table directory, as the download lays it out.
struct FontTableRecord {
    char tag[5];  // the four tag bytes and a NUL
    uint32_t checksum;
    uint32_t offset;     // in the font file
    uint32_t newOffset;  // in the GT segment's data
    uint32_t length;
    uint32_t paddedLength;  // bytes sent: the table and the padding after it
    int32_t selected;       // non-zero when the table is sent
};

// Where every sent table goes and how long the GT segment is.
struct TrueTypeHeaderPlan {
    std::vector<FontTableRecord> records;  // every directory entry, by offset
    uint32_t directoryLength = 0;          // sent tables × 16 + 28
    uint32_t segmentSize = 0;              // directory and the sent tables' bytes
    std::array<uint8_t, 12> fontHeader{};  // version, count + 1, the search fields
};

// True for the tables a downloaded font carries: cvt, fpgm, head, hhea, hmtx,
// maxp and prep (under "cvt" or "cvt ").
bool IsSentTable(uint32_t tag);

// Lays out the GT segment. Each sent table also carries the padding up to the
// next table in the file, and the last one runs to the end of the image (never
// less than its own length). None when the directory is cut off, a sent table
// lies outside the image, or the segment would not fit its 32-bit size.
std::optional<TrueTypeHeaderPlan> PlanTrueTypeHeader(FontImage font);

// The GT segment's directory: the 12-byte font header, a "gdir" entry with
// zeros, then tag, checksum, newOffset and length of each sent table.
std::vector<uint8_t> TrueTypeDirectory(const TrueTypeHeaderPlan& plan);

// BeginFontHeader … EndFontHeader for the font under `fontName`, with the glyph
// map's charCount as the number of characters. The font is checked first:
// nothing is written, and false answered, when it cannot be laid out. Blocks
// longer than one ReadFontHeader can say (65,535 bytes) go in several.
bool DownloadTrueTypeFontHeader(XLStream* stream, FontImage font, const OverlayGlyphMap& map,
                                std::string_view fontName);

}  // namespace xlr
