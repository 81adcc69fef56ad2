// The host's font record: a font file found through fontconfig, opened with
// FreeType at one pixel size. Text objects point at it (FONTOBJ::pvProducer),
// and DrvTextOut renders its glyphs from it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <winddi.h>

namespace xlhost {

// A glyph rendered one bit per pixel: rows of `pitch` bytes, leftmost pixel in the
// high bit; `left` and `top` place the bitmap's top-left corner relative to the
// glyph's origin on the baseline (top counts upwards).
struct MonoGlyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int pitch = 0;
    std::vector<uint8_t> bits;
};

// Metrics in 26.6 fixed point (64 units per pixel), relative to the glyph's origin.
struct GlyphMetrics {
    int64_t advance = 0;
    int64_t inkLeft = 0;
    int64_t inkTop = 0;  // upwards from the baseline
    int64_t inkWidth = 0;
    int64_t inkHeight = 0;
};

// The file and face index that fontconfig chooses for a family name; false when
// it finds none.
bool FindFontFile(std::string_view family, std::string& path, int& faceIndex);

class FontFace {
  public:
    // Opens the face at `pixelHeight` pixels to the em. Null, with `error` set,
    // when FreeType cannot.
    static std::shared_ptr<FontFace> Open(const std::string& path, int faceIndex, LONG pixelHeight,
                                          std::string& error);
    // The live font record that a FONTOBJ's pvProducer points at, or null when it
    // points at anything else.
    static FontFace* FromProducer(const void* producer);

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const std::string& Path() const { return path_; }
    std::string FamilyName() const;
    // The glyph of a character (0, the missing-glyph box, when the font has none).
    unsigned GlyphIndex(char32_t character) const;
    // Metrics as monochrome rendering lays the glyph out.
    bool Metrics(unsigned glyph, GlyphMetrics& metrics) const;
    // Ascender (positive) and descender (negative) of the size, whole pixels.
    LONG Ascender() const;
    LONG Descender() const;
    bool RenderMono(unsigned glyph, MonoGlyph& out) const;

  private:
    struct Handles;
    FontFace(std::unique_ptr<Handles> handles, std::string path);
    std::unique_ptr<Handles> handles_;
    std::string path_;
};

}  // namespace xlhost
