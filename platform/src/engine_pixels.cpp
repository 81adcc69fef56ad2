// Pixel access of engine bitmaps, colour values and raster operations.
#include "engine_internal.h"

#include <cstdlib>

namespace xlplatform {

ULONG BitsPerPixel(ULONG format) {
    constexpr ULONG kBits[] = {0, 1, 4, 8, 16, 24, 32};
    return format < std::size(kBits) ? kBits[format] : 0;
}

bool ViewOf(const SURFOBJ* so, PixelView& view) {
    if (so == nullptr || so->iType != STYPE_BITMAP || so->pvScan0 == nullptr) return false;
    const ULONG bits = BitsPerPixel(so->iBitmapFormat);
    if (bits == 0 || so->sizlBitmap.cx <= 0 || so->sizlBitmap.cy <= 0) return false;
    const uint64_t rowBytes = (static_cast<uint64_t>(so->sizlBitmap.cx) * bits + 7) / 8;
    const uint64_t delta = static_cast<uint64_t>(std::llabs(static_cast<long long>(so->lDelta)));
    if (delta < rowBytes) return false;
    view.scan0 = static_cast<BYTE*>(so->pvScan0);
    view.delta = so->lDelta;
    view.cx = so->sizlBitmap.cx;
    view.cy = so->sizlBitmap.cy;
    view.format = so->iBitmapFormat;
    return true;
}

ULONG ReadPixel(const PixelView& view, LONG x, LONG y) {
    const BYTE* row = view.Row(y);
    switch (view.format) {
        case BMF_1BPP:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case BMF_4BPP:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        case BMF_8BPP:
            return row[x];
        case BMF_16BPP: {
            const BYTE* p = row + 2 * static_cast<ptrdiff_t>(x);
            return p[0] | (p[1] << 8);
        }
        case BMF_24BPP: {
            const BYTE* p = row + 3 * static_cast<ptrdiff_t>(x);
            return p[0] | (p[1] << 8) | (static_cast<ULONG>(p[2]) << 16);
        }
        case BMF_32BPP: {
            const BYTE* p = row + 4 * static_cast<ptrdiff_t>(x);
            return p[0] | (p[1] << 8) | (static_cast<ULONG>(p[2]) << 16) |
                   (static_cast<ULONG>(p[3]) << 24);
        }
        default:
            return 0;
    }
}

}  // namespace xlplatform

namespace xlplatform::engine {

uint64_t AlignedStride(ULONG format, int64_t width) {
    const ULONG bits = BitsPerPixel(format);
    if (bits == 0 || width < 0 || width > 0x7FFFFFFF) return 0;
    return ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
}

RECTL BoundingBox(const std::vector<RECTL>& rects) {
    if (rects.empty()) return RECTL{0, 0, 0, 0};
    RECTL box = rects.front();
    for (const RECTL& r : rects) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return box;
}

void WritePixel(const PixelView& view, LONG x, LONG y, ULONG value) {
    BYTE* row = view.Row(y);
    switch (view.format) {
        case BMF_1BPP: {
            const BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
            row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
            break;
        }
        case BMF_4BPP: {
            BYTE& b = row[x >> 1];
            b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | (value & 0x0F))
                        : static_cast<BYTE>((b & 0x0F) | ((value & 0x0F) << 4));
            break;
        }
        case BMF_8BPP:
            row[x] = static_cast<BYTE>(value);
            break;
        case BMF_16BPP: {
            BYTE* p = row + 2 * static_cast<ptrdiff_t>(x);
            p[0] = static_cast<BYTE>(value);
            p[1] = static_cast<BYTE>(value >> 8);
            break;
        }
        case BMF_24BPP: {
            BYTE* p = row + 3 * static_cast<ptrdiff_t>(x);
            p[0] = static_cast<BYTE>(value);
            p[1] = static_cast<BYTE>(value >> 8);
            p[2] = static_cast<BYTE>(value >> 16);
            break;
        }
        case BMF_32BPP: {
            BYTE* p = row + 4 * static_cast<ptrdiff_t>(x);
            p[0] = static_cast<BYTE>(value);
            p[1] = static_cast<BYTE>(value >> 8);
            p[2] = static_cast<BYTE>(value >> 16);
            p[3] = static_cast<BYTE>(value >> 24);
            break;
        }
        default:
            break;
    }
}

bool IsDirectColor(ULONG format) {
    return format == BMF_16BPP || format == BMF_24BPP || format == BMF_32BPP;
}

ULONG ValueToRgb(ULONG format, ULONG value) {
    if (format != BMF_16BPP) return value & 0x00FFFFFF;
    // 5 bits to 8 by repeating the top bits, so that 0x1F becomes 0xFF.
    const auto expand = [](ULONG v5) { return (v5 << 3) | (v5 >> 2); };
    return (expand((value >> 10) & 0x1F) << 16) | (expand((value >> 5) & 0x1F) << 8) |
           expand(value & 0x1F);
}

ULONG RgbToValue(ULONG format, ULONG rgb) {
    if (format != BMF_16BPP) return rgb & 0x00FFFFFF;
    return (((rgb >> 19) & 0x1F) << 10) | (((rgb >> 11) & 0x1F) << 5) | ((rgb >> 3) & 0x1F);
}

Translator::Translator(XLATEOBJ* xlate, ULONG srcFormat, ULONG dstFormat)
    : srcFormat_(srcFormat), dstFormat_(dstFormat) {
    ULONG xlSrc = 0, xlDst = 0;
    bool convert = false;
    if (xlate != nullptr && EngineXlate(xlate, xlSrc, xlDst, convert) && convert) {
        kind_ = Kind::Convert;
        srcFormat_ = xlSrc;
        dstFormat_ = xlDst;
        return;
    }
    if (xlate != nullptr && (xlate->flXlate & XO_TABLE) != 0 && xlate->pulXlate != nullptr) {
        kind_ = Kind::Table;
        // Only as many entries as the source format can index are looked at.
        const ULONG bits = BitsPerPixel(srcFormat);
        const uint64_t reach = bits >= 1 && bits <= 16 ? (uint64_t{1} << bits) : 65536;
        const uint64_t count = std::min<uint64_t>(xlate->cEntries, reach);
        table_.assign(xlate->pulXlate, xlate->pulXlate + count);
        return;
    }
    if (IsDirectColor(srcFormat) && IsDirectColor(dstFormat) && srcFormat != dstFormat) {
        kind_ = Kind::Convert;
    }
}

ULONG Translator::operator()(ULONG value) const {
    switch (kind_) {
        case Kind::Table:
            return value < table_.size() ? table_[value] : 0;
        case Kind::Convert:
            return RgbToValue(dstFormat_, ValueToRgb(srcFormat_, value));
        case Kind::Identity:
        default:
            return value;
    }
}

ULONG Rop3(BYTE rop, ULONG p, ULONG s, ULONG d) {
    switch (rop) {
        case 0x00:
            return 0;
        case 0xFF:
            return 0xFFFFFFFF;
        case 0xCC:
            return s;
        case 0x33:
            return ~s;
        case 0x66:
            return s ^ d;
        case 0x88:
            return s & d;
        case 0xEE:
            return s | d;
        case 0xAA:
            return d;
        case 0x55:
            return ~d;
        case 0xF0:
            return p;
        case 0x0F:
            return ~p;
        case 0x5A:
            return p ^ d;
        default:
            break;
    }
    // Truth-table index: pattern * 4 + source * 2 + destination.
    ULONG result = 0;
    for (int index = 0; index < 8; ++index) {
        if ((rop & (1 << index)) == 0) continue;
        const ULONG pp = (index & 4) ? p : ~p;
        const ULONG ss = (index & 2) ? s : ~s;
        const ULONG dd = (index & 1) ? d : ~d;
        result |= pp & ss & dd;
    }
    return result;
}

}  // namespace xlplatform::engine
