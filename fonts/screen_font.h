// A font made on the screen's device context and selected into it for one
// drawing; the previous font is selected back, the font deleted and the
// context released when it goes.
#pragma once

#include <windows.h>

namespace xlr {

class ScreenFont {
  public:
    explicit ScreenFont(const LOGFONTW& font) {
        dc_ = GetDC(nullptr);
        if (dc_ == nullptr) return;
        font_ = CreateFontIndirectW(&font);
        if (font_ != nullptr) previous_ = SelectObject(dc_, font_);
    }
    ~ScreenFont() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        if (font_ != nullptr) DeleteObject(font_);
        if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
    }
    ScreenFont(const ScreenFont&) = delete;
    ScreenFont& operator=(const ScreenFont&) = delete;

    explicit operator bool() const { return previous_ != nullptr; }
    HDC dc() const { return dc_; }

  private:
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace xlr
