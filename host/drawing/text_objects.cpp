#include "host/drawing/text_objects.h"

#include <algorithm>
#include <atomic>

#include "host/drawing/output/geometry.h"
#include "host/drawing/font_face.h"

namespace xlhost {
namespace {

constexpr LONG kMaxPixelHeight = 10000;
constexpr std::string_view kFallbackFamily = "DejaVu Sans";

std::atomic<ULONG> g_nextFontUniq{1};

std::shared_ptr<FontFace> OpenFamily(std::string_view family, LONG pixelHeight,
                                     std::string& error) {
    for (std::string_view name : {family, kFallbackFamily}) {
        std::string path;
        int index = 0;
        if (!FindFontFile(name, path, index)) continue;
        if (auto face = FontFace::Open(path, index, pixelHeight, error)) {
            error.clear();
            return face;
        }
    }
    if (error.empty()) error = "no font file for the family \"" + std::string(family) + "\"";
    return nullptr;
}

// UTF-16 to code points; a surrogate without its partner stands for U+FFFD.
std::u32string CodePoints(std::u16string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t(c) - 0xD800) << 10) +
                          (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

LONG FloorPixels(int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v >> 6, INT32_MIN, INT32_MAX));
}
LONG CeilPixels(int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>((v + 63) >> 6, INT32_MIN, INT32_MAX));
}

}  // namespace

std::unique_ptr<TextRun> LayOutText(std::u16string_view text, std::string_view family,
                                    LONG pixelHeight, POINTL origin, std::string& error,
                                    SIZEL resolution) {
    error.clear();
    if (pixelHeight < 1 || pixelHeight > kMaxPixelHeight) {
        error = "a text height of " + std::to_string(pixelHeight) + " pixels is not 1 to " +
                std::to_string(kMaxPixelHeight);
        return nullptr;
    }
    std::shared_ptr<FontFace> face = OpenFamily(family, pixelHeight, error);
    if (!face) return nullptr;

    auto run = std::make_unique<TextRun>();
    run->text.assign(text);
    const std::u32string characters = CodePoints(text);
    run->glyphs.reserve(characters.size());
    // The pen moves in 26.6 fixed point; each glyph sits on the nearest whole pixel.
    int64_t pen = int64_t{origin.x} * 64;
    RECTL ink{};
    LONG widest = 0;
    for (char32_t c : characters) {
        const unsigned glyph = face->GlyphIndex(c);
        GlyphMetrics m;
        if (!face->Metrics(glyph, m)) m = GlyphMetrics{};
        const LONG x = FloorPixels(pen + 32);
        run->glyphs.push_back(GLYPHPOS{glyph, nullptr, POINTL{x, origin.y}});
        if (m.inkWidth > 0 && m.inkHeight > 0) {
            const int64_t left = int64_t{x} * 64 + m.inkLeft;
            const int64_t top = int64_t{origin.y} * 64 - m.inkTop;
            ink = UnionRects(
                ink, RECTL{FloorPixels(left), FloorPixels(top), CeilPixels(left + m.inkWidth),
                           CeilPixels(top + m.inkHeight)});
        }
        widest = std::max(widest, CeilPixels(m.advance));
        pen += m.advance;
    }
    const RECTL cell{origin.x, origin.y - face->Ascender(),
                     std::max(origin.x, FloorPixels(pen + 32)), origin.y - face->Descender()};
    run->bounds = UnionRects(cell, ink);

    STROBJ& str = run->str;
    str.cGlyphs = static_cast<ULONG>(run->glyphs.size());
    str.flAccel = SO_HORIZONTAL;
    str.ulCharInc = 0;
    str.rclBkGround = run->bounds;
    str.pgp = run->glyphs.empty() ? nullptr : run->glyphs.data();
    str.pwszOrg = run->text.data();

    FONTOBJ& font = run->font;
    font.iUniq = g_nextFontUniq++;
    font.iFace = 1;
    font.cxMax = static_cast<ULONG>(widest);
    font.flFontType = FO_TYPE_TRUETYPE;
    font.iTTUniq = reinterpret_cast<ULONG_PTR>(face.get());
    font.iFile = 0;
    font.sizLogResPpi = resolution;
    font.ulStyleSize =
        resolution.cy > 0
            ? static_cast<ULONG>((int64_t{pixelHeight} * 72 + resolution.cy / 2) / resolution.cy)
            : 0;
    font.pvConsumer = nullptr;
    font.pvProducer = face.get();
    run->fontData = std::move(face);
    return run;
}

}  // namespace xlhost
