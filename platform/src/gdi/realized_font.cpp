#include "realized_font.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_TRUETYPE_TABLES_H

#include "sfnt_image.h"

namespace xlplatform {
namespace {

struct FtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FtFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// Monochrome hinting for layout and rendering alike, so advances and bitmaps agree.
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
// The height of a logical font of height 0.
constexpr FT_UInt kDefaultPixels = 16;

LONG Rounded(FT_Pos v) {
    return static_cast<LONG>((v + 32) >> 6);
}

FT_Fixed FixedOf(const FIXED& f) {
    return static_cast<FT_Fixed>(f.value) * 65536 + f.fract;
}

// The escapement's turn, counter-clockwise with y up, then the caller's matrix.
FT_Matrix GlyphTransform(LONG escapement, const MAT2& m) {
    const double radians = escapement / 10.0 * 3.14159265358979323846 / 180.0;
    FT_Matrix turn;
    turn.xx = static_cast<FT_Fixed>(std::lround(std::cos(radians) * 65536));
    turn.xy = static_cast<FT_Fixed>(std::lround(-std::sin(radians) * 65536));
    turn.yx = -turn.xy;
    turn.yy = turn.xx;
    // MAT2 maps (x, y) to (x·eM11 + y·eM21, x·eM12 + y·eM22).
    FT_Matrix caller{FixedOf(m.eM11), FixedOf(m.eM21), FixedOf(m.eM12), FixedOf(m.eM22)};
    FT_Matrix_Multiply(&caller, &turn);  // turn = caller × turn: the turn comes first
    return turn;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

// The tag as FreeType takes it from the number GetFontData takes (the tag's
// bytes in file order read as a little-endian number).
FT_ULong SfntTag(DWORD table) {
    return (table >> 24) | ((table >> 8) & 0xFF00) | ((table << 8) & 0xFF0000) | (table << 24);
}

}  // namespace

struct RealizedFont::Handles {
    std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter> library;
    std::unique_ptr<FT_FaceRec_, FtFaceDeleter> face;
    std::vector<uint8_t> image;  // what GetFontData answers for the whole font
    bool imageMade = false;
    LONG ascent = 0, descent = 0;  // pixels
};

RealizedFont::RealizedFont(const LOGFONTW& font, FontChoice choice)
    : logical_(font), choice_(std::move(choice)) {}

RealizedFont::~RealizedFont() = default;

bool RealizedFont::Load() {
    if (tried_) return handles_ != nullptr;
    tried_ = true;
    file_ = ReadFile(choice_.file);
    if (file_.empty()) return false;
    auto handles = std::make_unique<Handles>();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    handles->library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, file_.data(), static_cast<FT_Long>(file_.size()),
                           choice_.faceIndex, &face) != 0)
        return false;
    handles->face.reset(face);
    if (!FT_IS_SCALABLE(face)) return false;

    // Windows measures a font's cell by the OS/2 table's Windows ascent and
    // descent; fonts without one by their horizontal header.
    FT_Long unitsAscent = face->ascender, unitsDescent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        unitsAscent = os2->usWinAscent;
        unitsDescent = os2->usWinDescent;
    }
    FT_UInt pixels = kDefaultPixels;
    if (logical_.lfHeight < 0) {
        pixels = static_cast<FT_UInt>(-static_cast<int64_t>(logical_.lfHeight));
    } else if (logical_.lfHeight > 0 && unitsAscent + unitsDescent > 0) {
        pixels = static_cast<FT_UInt>(
            std::max<int64_t>(1, std::llround(double(logical_.lfHeight) * face->units_per_EM /
                                              double(unitsAscent + unitsDescent))));
    }
    if (FT_Set_Pixel_Sizes(face, 0, std::min<FT_UInt>(pixels, 0xFFFF)) != 0) return false;
    handles->ascent = Rounded(FT_MulFix(unitsAscent, face->size->metrics.y_scale));
    handles->descent = Rounded(FT_MulFix(unitsDescent, face->size->metrics.y_scale));
    handles_ = std::move(handles);
    return true;
}

DWORD RealizedFont::FontData(DWORD table, DWORD offset, void* buffer, DWORD size) {
    std::lock_guard lock(mutex_);
    if (!Load() || !FT_IS_SFNT(handles_->face.get())) return GDI_ERROR;
    if (table == 0) {
        if (!handles_->imageMade) {
            handles_->imageMade = true;
            if (auto image = FaceImage(file_, choice_.faceIndex))
                handles_->image = std::move(*image);
        }
        const std::vector<uint8_t>& image = handles_->image;
        if (image.empty() || offset > image.size()) return GDI_ERROR;
        const DWORD available = static_cast<DWORD>(image.size() - offset);
        if (buffer == nullptr || size == 0) return available;
        const DWORD copied = std::min(size, available);
        std::memcpy(buffer, image.data() + offset, copied);
        return copied;
    }
    FT_ULong length = 0;
    FT_Face face = handles_->face.get();
    if (FT_Load_Sfnt_Table(face, SfntTag(table), 0, nullptr, &length) != 0 || offset > length)
        return GDI_ERROR;
    const DWORD available = static_cast<DWORD>(length - offset);
    if (buffer == nullptr || size == 0) return available;
    FT_ULong copied = std::min(size, available);
    if (copied == 0) return 0;
    if (FT_Load_Sfnt_Table(face, SfntTag(table), offset, static_cast<FT_Byte*>(buffer), &copied) !=
        0)
        return GDI_ERROR;
    return static_cast<DWORD>(copied);
}

DWORD RealizedFont::GlyphOutline(UINT character, UINT format, GLYPHMETRICS* metrics, DWORD size,
                                 void* buffer, const MAT2* matrix) {
    const UINT kind = format & ~GGO_GLYPH_INDEX;
    if (metrics == nullptr || matrix == nullptr || (kind != GGO_METRICS && kind != GGO_BITMAP))
        return GDI_ERROR;
    std::lock_guard lock(mutex_);
    if (!Load()) return GDI_ERROR;
    FT_Face face = handles_->face.get();
    const FT_UInt glyph =
        (format & GGO_GLYPH_INDEX) != 0 ? character : FT_Get_Char_Index(face, character);

    FT_Matrix transform = GlyphTransform(logical_.lfEscapement, *matrix);
    FT_Set_Transform(face, &transform, nullptr);
    FT_Error error = FT_Load_Glyph(face, glyph, kLoadFlags);
    FT_Set_Transform(face, nullptr, nullptr);
    if (error != 0 || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return GDI_ERROR;
    // FreeType renders an outline without points as one blank pixel; Windows
    // answers such a glyph with no bitmap at all.
    const bool ink = face->glyph->outline.n_points > 0;
    if (ink && (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO) != 0 ||
                face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_MONO))
        return GDI_ERROR;

    const FT_Bitmap& bitmap = face->glyph->bitmap;
    *metrics = GLYPHMETRICS{};
    // A glyph without ink (a space) has a one-pixel black box, as on Windows.
    metrics->gmBlackBoxX = ink ? std::max(bitmap.width, 1u) : 1;
    metrics->gmBlackBoxY = ink ? std::max(bitmap.rows, 1u) : 1;
    if (ink) metrics->gmptGlyphOrigin = {face->glyph->bitmap_left, face->glyph->bitmap_top};
    metrics->gmCellIncX = static_cast<short>(Rounded(face->glyph->advance.x));
    metrics->gmCellIncY = static_cast<short>(Rounded(face->glyph->advance.y));
    if (kind == GGO_METRICS || !ink || bitmap.width == 0 || bitmap.rows == 0) return 0;

    const size_t rowBytes = ((bitmap.width + 31) / 32) * 4;
    const uint64_t needed = uint64_t{rowBytes} * bitmap.rows;
    if (needed > 0xFFFFFFFEu) return GDI_ERROR;
    if (buffer == nullptr || size == 0) return static_cast<DWORD>(needed);
    if (size < needed) return GDI_ERROR;
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, static_cast<size_t>(needed));
    const size_t sourceBytes = (bitmap.width + 7) / 8;
    for (unsigned y = 0; y < bitmap.rows; ++y) {
        // FreeType's pitch may exceed the row, or be negative for bottom-up bitmaps.
        const unsigned sourceRow = bitmap.pitch < 0 ? bitmap.rows - 1 - y : y;
        const unsigned char* row =
            bitmap.buffer + static_cast<ptrdiff_t>(std::abs(bitmap.pitch)) * sourceRow;
        std::memcpy(out + y * rowBytes, row, sourceBytes);
    }
    return static_cast<DWORD>(needed);
}

bool RealizedFont::Advance(UINT glyph, INT& width) {
    FT_Face face = handles_->face.get();
    if (FT_Load_Glyph(face, glyph, kLoadFlags) != 0) return false;
    width = static_cast<INT>(Rounded(face->glyph->advance.x));
    return true;
}

bool RealizedFont::CharWidths(UINT first, UINT last, INT* widths) {
    if (widths == nullptr || last < first) return false;
    std::lock_guard lock(mutex_);
    if (!Load()) return false;
    for (UINT c = first;; ++c) {
        if (!Advance(FT_Get_Char_Index(handles_->face.get(), c), widths[c - first])) return false;
        if (c == last) return true;
    }
}

bool RealizedFont::TextExtent(std::u16string_view text, SIZE* size) {
    if (size == nullptr) return false;
    std::lock_guard lock(mutex_);
    if (!Load()) return false;
    LONG width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        INT advance = 0;
        if (!Advance(FT_Get_Char_Index(handles_->face.get(), c), advance)) return false;
        width += advance;
    }
    size->cx = width;
    size->cy = handles_->ascent + handles_->descent;
    return true;
}

}  // namespace xlplatform
