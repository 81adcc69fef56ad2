// Source bitmaps of Unidrv's drawing functions: the pixels of an engine bitmap
// (read by the engine's own pixel reader) and their colours as RGB, through the
// call's colour translation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <winddi.h>
#include <xlplatform/engine.h>

#include "host/drawing/output/colors.h"

namespace xlhost {

class SourceBitmap {
  public:
    // False for a device's surface (its pixels are on the printer), compressed
    // JPEG or PNG data, formats other than 1 to 32 bits per pixel, and fields
    // that do not describe rows of pixels (no bits, a row stride shorter than a row).
    bool Open(const SURFOBJ* surface);

    LONG Width() const { return view_.cx; }
    LONG Height() const { return view_.cy; }
    ULONG Format() const { return view_.format; }
    const BYTE* Row(LONG y) const { return view_.Row(y); }
    // The value of a pixel inside the bitmap.
    ULONG Pixel(LONG x, LONG y) const { return xlplatform::ReadPixel(view_, x, y); }

  private:
    xlplatform::PixelView view_;
};

// Source pixel values to RGB. Indexed formats (1, 4, 8 bits) take their colours
// from the translation's table, or from XLATEOBJ_iXlate; without a translation,
// 1 bit is black and white, 4 bits the 16 standard colours, 8 bits a grey ramp.
// Direct formats (16, 24, 32 bits) are read by their bit fields: those that
// XLATEOBJ_cGetPalette gives for the source, else 5-5-5 and 8-8-8.
class SourceColors {
  public:
    SourceColors(ULONG format, XLATEOBJ* xlate);

    Rgb operator()(ULONG value) const;
    // The colours of a 1-bit source's 0 and 1.
    std::array<Rgb, 2> MonoPalette() const { return {Color(0), Color(1)}; }

    // Writes `count` pixels of row `y` as R, G, B bytes: from column `x` rightwards,
    // or leftwards when `mirrored`. Every pixel read lies inside the bitmap.
    void ToRgb(const SourceBitmap& bitmap, LONG y, LONG x, LONG count, bool mirrored,
               uint8_t* out) const;

  private:
    Rgb Color(ULONG value) const { return (*this)(value); }

    struct Field {
        ULONG mask = 0;
        int shift = 0;
        ULONG max = 0;  // the field's largest value
    };
    ULONG format_ = 0;
    std::vector<Rgb> palette_;  // indexed formats
    std::array<Field, 3> fields_{};
    bool standardFields_ = true;  // 8-8-8 in the low three bytes
};

// Copies `count` pixels of row `y` of a 1-bit bitmap into `out`, leftmost pixel in
// the high bit: from column `x` rightwards, or leftwards when `mirrored`.
void CopyMonoRow(const SourceBitmap& bitmap, LONG y, LONG x, LONG count, bool mirrored,
                 uint8_t* out);

}  // namespace xlhost
