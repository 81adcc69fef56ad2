// A downloaded PCL XL bitmap font: a header at the printer's resolution and one
// character per glyph image, one bit per pixel, rows padded to 32 bits as the
// operating system renders glyph bitmaps.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "fonts/font_bytes.h"
#include "fonts/glyph_map.h"
#include "pclxl/stream.h"

namespace xlr {

constexpr size_t kBitmapCharHeaderSize = 10;
constexpr size_t kMaxBitmapFontName = 100;
constexpr uint32_t kBitmapRowPiece = 16384;  // glyph rows are streamed in pieces of this size

// "%s %d" of the map's font name and the font number, at most 100 characters.
std::string BitmapFontName(const OverlayGlyphMap& map, int fontNumber);

// Bytes in one row of a glyph `width` pixels wide: whole 32-bit words.
constexpr uint32_t BitmapRowBytes(uint32_t width) {
    return ((width + 31) >> 3) & ~3u;
}

// BeginFontHeader … EndFontHeader of bitmap font `fontNumber`: the descriptor,
// a BR segment with the print quality of the stream owner's public device mode
// as both resolutions, the null segment. False, with nothing written, when the
// device has no public device mode or its print quality is not a resolution.
bool DownloadBitmapFontHeader(XLStream* stream, const OverlayGlyphMap& map, int fontNumber);

// ReadChar of one glyph image under `charCode`: the 10-byte header (format 0,
// class 0, left and top offsets, the padded row length in pixels, the rows)
// and `height` rows of BitmapRowBytes(width) bytes from `bits`. False, with
// nothing written, for an empty image, sizes the header cannot say, or `bits`
// shorter than the rows.
bool DownloadBitmapChar(XLStream* stream, int32_t width, int32_t height, int32_t left, int32_t top,
                        uint32_t charCode, FontBytes bits);

}  // namespace xlr
