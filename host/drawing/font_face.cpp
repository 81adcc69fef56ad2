#include "host/drawing/font_face.h"

#include <mutex>
#include <set>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace xlhost {
namespace {

struct FtLibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FtFaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct FcPatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct FcConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
using FtLibrary = std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter>;
using FtFace = std::unique_ptr<FT_FaceRec_, FtFaceDeleter>;
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

// Monochrome hinting both for layout and for rendering, so that advances and
// bitmaps agree.
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;

// The fonts that fontconfig knows, loaded once for the process and destroyed with
// it. A configuration of our own rather than FcInit's global one, which is never
// freed; lookups take turns.
struct FontCatalog {
    std::mutex mutex;
    std::unique_ptr<FcConfig, FcConfigDeleter> config;
};
FontCatalog& Catalog() {
    static FontCatalog catalog;
    return catalog;
}

// The font records alive now: pvProducer pointers are checked against them.
struct Registry {
    std::mutex mutex;
    std::set<const FontFace*> faces;
};
Registry& Faces() {
    static Registry registry;
    return registry;
}

LONG RoundedPixels(FT_Pos v) {
    return static_cast<LONG>((v + 32) >> 6);
}

}  // namespace

// The library belongs to the face alone: FreeType libraries are not shared between threads.
struct FontFace::Handles {
    FtLibrary library;
    FtFace face;
};

bool FindFontFile(std::string_view family, std::string& path, int& faceIndex) {
    FontCatalog& catalog = Catalog();
    std::lock_guard lock(catalog.mutex);
    if (!catalog.config) catalog.config.reset(FcInitLoadConfigAndFonts());
    FcConfig* config = catalog.config.get();
    if (config == nullptr) return false;
    const std::string name(family);
    FcPatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str())));
    if (!pattern) return false;
    FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(config, pattern.get(), &result));
    if (!match || result != FcResultMatch) return false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
        return false;
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    path = reinterpret_cast<const char*>(file);
    faceIndex = index;
    return true;
}

std::shared_ptr<FontFace> FontFace::Open(const std::string& path, int faceIndex, LONG pixelHeight,
                                         std::string& error) {
    auto handles = std::make_unique<Handles>();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType cannot start";
        return nullptr;
    }
    handles->library.reset(library);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), faceIndex, &face) != 0) {
        error = "FreeType cannot open the font file " + path;
        return nullptr;
    }
    handles->face.reset(face);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        error = "the font " + path + " has no size of " + std::to_string(pixelHeight) + " pixels";
        return nullptr;
    }
    return std::shared_ptr<FontFace>(new FontFace(std::move(handles), path));
}

FontFace::FontFace(std::unique_ptr<Handles> handles, std::string path)
    : handles_(std::move(handles)), path_(std::move(path)) {
    std::lock_guard lock(Faces().mutex);
    Faces().faces.insert(this);
}

FontFace::~FontFace() {
    std::lock_guard lock(Faces().mutex);
    Faces().faces.erase(this);
}

FontFace* FontFace::FromProducer(const void* producer) {
    if (producer == nullptr) return nullptr;
    std::lock_guard lock(Faces().mutex);
    auto it = Faces().faces.find(static_cast<const FontFace*>(producer));
    return it == Faces().faces.end() ? nullptr : const_cast<FontFace*>(*it);
}

std::string FontFace::FamilyName() const {
    const char* name = handles_->face->family_name;
    return name != nullptr ? name : "";
}

unsigned FontFace::GlyphIndex(char32_t character) const {
    return FT_Get_Char_Index(handles_->face.get(), static_cast<FT_ULong>(character));
}

bool FontFace::Metrics(unsigned glyph, GlyphMetrics& metrics) const {
    FT_Face face = handles_->face.get();
    if (FT_Load_Glyph(face, glyph, kLoadFlags) != 0) return false;
    const FT_Glyph_Metrics& m = face->glyph->metrics;
    metrics.advance = face->glyph->advance.x;
    metrics.inkLeft = m.horiBearingX;
    metrics.inkTop = m.horiBearingY;
    metrics.inkWidth = m.width;
    metrics.inkHeight = m.height;
    return true;
}

LONG FontFace::Ascender() const {
    return RoundedPixels(handles_->face->size->metrics.ascender);
}
LONG FontFace::Descender() const {
    return RoundedPixels(handles_->face->size->metrics.descender);
}

bool FontFace::RenderMono(unsigned glyph, MonoGlyph& out) const {
    FT_Face face = handles_->face.get();
    if (FT_Load_Glyph(face, glyph, kLoadFlags | FT_LOAD_RENDER) != 0) return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return false;
    out.left = face->glyph->bitmap_left;
    out.top = face->glyph->bitmap_top;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.pitch = (out.width + 7) / 8;
    out.bits.assign(static_cast<size_t>(out.pitch) * out.height, 0);
    // FreeType's pitch may be larger than the row, or negative for bottom-up bitmaps.
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(bitmap.pitch) * y;
        if (bitmap.pitch < 0)
            row = bitmap.buffer + static_cast<ptrdiff_t>(-bitmap.pitch) * (out.height - 1 - y);
        std::copy(row, row + out.pitch, out.bits.begin() + static_cast<ptrdiff_t>(y) * out.pitch);
    }
    return true;
}

}  // namespace xlhost
