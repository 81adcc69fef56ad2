// Text as the graphics engine hands it to a driver: a STROBJ with the string
// and its glyph positions, and a FONTOBJ for a real font file found through
// fontconfig. Unidrv's own DrvTextOut renders such text with FreeType.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <winddi.h>

namespace xlhost {

// Owns the engine objects of one DrvTextOut call; they stay valid as long as it lives.
struct TextRun {
    STROBJ str{};
    FONTOBJ font{};
    std::u16string text;
    std::vector<GLYPHPOS> glyphs;
    RECTL bounds{};                  // the box the glyphs cover, device pixels
    std::shared_ptr<void> fontData;  // the font behind FONTOBJ::pvProducer
};

// Lays `text` out left to right in the font family (a fontconfig name such as
// "DejaVu Sans"; DejaVu Sans when fontconfig finds nothing that opens) at
// `pixelHeight` (em height in device pixels), the baseline starting at `origin`.
// `resolution` is the device's, for the FONTOBJ. Nothing, with `error` set, when
// no font is found or the height is not 1 to 10,000 pixels.
std::unique_ptr<TextRun> LayOutText(std::u16string_view text, std::string_view family,
                                    LONG pixelHeight, POINTL origin, std::string& error,
                                    SIZEL resolution = SIZEL{600, 600});

}  // namespace xlhost
