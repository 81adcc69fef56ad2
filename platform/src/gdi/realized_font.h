// A logical font made real: the file fontconfig chose, opened with FreeType at
// the font's pixel size. One per HFONT; the FreeType handles are its own.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include <windows.h>

#include "font_mapper.h"

namespace xlplatform {

class RealizedFont {
  public:
    RealizedFont(const LOGFONTW& font, FontChoice choice);
    ~RealizedFont();
    RealizedFont(const RealizedFont&) = delete;
    RealizedFont& operator=(const RealizedFont&) = delete;

    const LOGFONTW& Logical() const { return logical_; }
    const FontChoice& Choice() const { return choice_; }

    // The GDI services of the selected font; see wingdi.h.
    DWORD FontData(DWORD table, DWORD offset, void* buffer, DWORD size);
    DWORD GlyphOutline(UINT character, UINT format, GLYPHMETRICS* metrics, DWORD size, void* buffer,
                       const MAT2* matrix);
    bool CharWidths(UINT first, UINT last, INT* widths);
    bool TextExtent(std::u16string_view text, SIZE* size);

  private:
    struct Handles;
    // Reads the file and opens the face at its size, once; false when either fails.
    bool Load();
    bool Advance(UINT glyph, INT& width);

    LOGFONTW logical_;
    FontChoice choice_;
    std::mutex mutex_;
    std::vector<uint8_t> file_;
    std::unique_ptr<Handles> handles_;
    bool tried_ = false;
};

}  // namespace xlplatform
