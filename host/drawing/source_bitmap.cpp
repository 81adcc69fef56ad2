#include "host/drawing/source_bitmap.h"

#include <bit>
#include <cstring>

namespace xlhost {
namespace {

// The colours of a 4-bit bitmap without a palette: the standard 16 of a VGA palette.
constexpr std::array<ULONG, 16> kStandard16 = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

Rgb DefaultIndexedColor(ULONG format, ULONG index) {
    switch (format) {
        case BMF_1BPP:
            return index == 0 ? kBlack : kWhite;
        case BMF_4BPP:
            return RgbOfDeviceColor(kStandard16[index & 15]);
        default: {
            const auto grey = static_cast<uint8_t>(index);
            return Rgb{grey, grey, grey};
        }
    }
}

uint8_t Expand(ULONG value, ULONG max) {
    if (max == 0) return 0;
    return static_cast<uint8_t>((uint64_t{value} * 255 + max / 2) / max);
}

}  // namespace

bool SourceBitmap::Open(const SURFOBJ* surface) {
    return xlplatform::ViewOf(surface, view_);
}

SourceColors::SourceColors(ULONG format, XLATEOBJ* xlate) : format_(format) {
    const ULONG bits = xlplatform::BitsPerPixel(format);
    if (bits >= 1 && bits <= 8) {
        const ULONG entries = 1u << bits;
        palette_.resize(entries);
        const bool table =
            xlate != nullptr && (xlate->flXlate & XO_TABLE) != 0 && xlate->pulXlate != nullptr;
        const bool translated = xlate != nullptr && (xlate->flXlate & XO_TRIVIAL) == 0;
        for (ULONG i = 0; i < entries; ++i) {
            if (table)
                palette_[i] = RgbOfTranslatedValue(i < xlate->cEntries ? xlate->pulXlate[i] : 0,
                                                   xlate->iDstType);
            else if (translated)
                palette_[i] = RgbOfTranslatedValue(XLATEOBJ_iXlate(xlate, i), xlate->iDstType);
            else
                palette_[i] = DefaultIndexedColor(format, i);
        }
        return;
    }
    ULONG masks[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    if (format == BMF_16BPP) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    if (format != BMF_24BPP && xlate != nullptr) {
        ULONG given[3] = {};
        if (XLATEOBJ_cGetPalette(xlate, XO_SRCBITFIELDS, 3, given) == 3 && given[0] != 0 &&
            given[1] != 0 && given[2] != 0)
            std::memcpy(masks, given, sizeof masks);
    }
    for (int c = 0; c < 3; ++c) {
        fields_[c].mask = masks[c];
        fields_[c].shift = std::countr_zero(masks[c]);
        fields_[c].max = masks[c] >> fields_[c].shift;
    }
    standardFields_ = masks[0] == 0xFF0000 && masks[1] == 0x00FF00 && masks[2] == 0x0000FF;
}

Rgb SourceColors::operator()(ULONG value) const {
    if (!palette_.empty()) return palette_[value & (palette_.size() - 1)];
    if (format_ == BMF_24BPP || standardFields_) return RgbOfDeviceColor(value);
    uint8_t c[3];
    for (int i = 0; i < 3; ++i)
        c[i] = Expand((value & fields_[i].mask) >> fields_[i].shift, fields_[i].max);
    return Rgb{c[0], c[1], c[2]};
}

void SourceColors::ToRgb(const SourceBitmap& bitmap, LONG y, LONG x, LONG count, bool mirrored,
                         uint8_t* out) const {
    const BYTE* row = bitmap.Row(y);
    const LONG step = mirrored ? -1 : 1;
    // 24 and 32 bits with the usual fields are by far the most common: bytes B, G, R.
    if ((format_ == BMF_24BPP || (format_ == BMF_32BPP && standardFields_))) {
        const ptrdiff_t pixelBytes = format_ == BMF_24BPP ? 3 : 4;
        const BYTE* p = row + pixelBytes * x;
        const ptrdiff_t advance = pixelBytes * step;
        for (LONG i = 0; i < count; ++i, p += advance, out += 3) {
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        }
        return;
    }
    for (LONG i = 0; i < count; ++i, x += step, out += 3) {
        const Rgb c = (*this)(bitmap.Pixel(x, y));
        out[0] = c.r;
        out[1] = c.g;
        out[2] = c.b;
    }
}

void CopyMonoRow(const SourceBitmap& bitmap, LONG y, LONG x, LONG count, bool mirrored,
                 uint8_t* out) {
    const BYTE* row = bitmap.Row(y);
    if (!mirrored && (x & 7) == 0) {
        std::memcpy(out, row + (x >> 3), static_cast<size_t>(count + 7) / 8);
        if (count & 7) out[count >> 3] &= static_cast<uint8_t>(0xFF00 >> (count & 7));
        return;
    }
    const LONG step = mirrored ? -1 : 1;
    for (LONG i = 0; i < count; ++i, x += step) {
        if ((row[x >> 3] >> (7 - (x & 7))) & 1)
            out[i >> 3] |= static_cast<uint8_t>(0x80 >> (i & 7));
    }
}

}  // namespace xlhost
