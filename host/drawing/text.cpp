// Text: the glyphs of the string rendered with FreeType, one bit per pixel, into
// one mask over the part of the text inside the clip, sent as a 1-bit image whose
// white is transparent so that only glyph pixels mark. The opaque rectangle goes
// first, the extra rectangles (underlines, strike-outs) last.
#include <algorithm>
#include <optional>
#include <vector>

#include "host/drawing/output/geometry.h"
#include "host/drawing/output/drawing_output.h"
#include "host/drawing/output/rops.h"
#include "host/drawing/font_face.h"
#include "host/drawing/output/raster_image.h"
#include "host/drawing/functions.h"
#include "host/drawing/output/graphics_state.h"
#include "pclxl/enumerations.h"
#include "pclxl/operators.h"

namespace xlhost {
namespace {

using namespace xlr::xlenum;

// prclExtra is a list ended by an all-zero rectangle; the engine passes at most
// an underline and a strike-out, so a longer list is taken as unterminated.
constexpr int kMaxExtraRects = 8;
// More glyphs than this in one call is not text but a malformed string object.
constexpr ULONG kMaxGlyphs = 1u << 20;

struct PlacedGlyph {
    MonoGlyph bitmap;
    LONG x = 0;  // device position of the bitmap's top-left pixel
    LONG y = 0;
};

// The glyph pixels of the text inside `limit`, one bit per pixel.
struct GlyphMask {
    RECTL area{};
    size_t rowBytes = 0;
    std::vector<uint8_t> bits;
};

bool RenderGlyphs(const FontFace& face, const STROBJ& str, std::vector<PlacedGlyph>& glyphs,
                  RECTL& box) {
    for (ULONG i = 0; i < str.cGlyphs; ++i) {
        PlacedGlyph glyph;
        if (!face.RenderMono(str.pgp[i].hg, glyph.bitmap)) return false;
        if (glyph.bitmap.width == 0 || glyph.bitmap.height == 0) continue;
        glyph.x = static_cast<LONG>(std::clamp<int64_t>(
            int64_t{str.pgp[i].ptl.x} + glyph.bitmap.left, INT32_MIN / 2, INT32_MAX / 2));
        glyph.y = static_cast<LONG>(std::clamp<int64_t>(
            int64_t{str.pgp[i].ptl.y} - glyph.bitmap.top, INT32_MIN / 2, INT32_MAX / 2));
        box = UnionRects(box, RECTL{glyph.x, glyph.y, glyph.x + glyph.bitmap.width,
                                    glyph.y + glyph.bitmap.height});
        glyphs.push_back(std::move(glyph));
    }
    return true;
}

GlyphMask MakeMask(const std::vector<PlacedGlyph>& glyphs, const RECTL& area) {
    GlyphMask mask;
    mask.area = area;
    const auto width = static_cast<size_t>(area.right - area.left);
    mask.rowBytes = (width + 7) / 8;
    mask.bits.assign(mask.rowBytes * static_cast<size_t>(area.bottom - area.top), 0);
    for (const PlacedGlyph& glyph : glyphs) {
        const RECTL inside = IntersectRects(
            RECTL{glyph.x, glyph.y, glyph.x + glyph.bitmap.width, glyph.y + glyph.bitmap.height},
            area);
        for (LONG y = inside.top; y < inside.bottom; ++y) {
            const uint8_t* from =
                glyph.bitmap.bits.data() + static_cast<size_t>(y - glyph.y) * glyph.bitmap.pitch;
            uint8_t* to = mask.bits.data() + static_cast<size_t>(y - area.top) * mask.rowBytes;
            for (LONG x = inside.left; x < inside.right; ++x) {
                const LONG gx = x - glyph.x;
                if ((from[gx >> 3] >> (7 - (gx & 7))) & 1) {
                    const LONG mx = x - area.left;
                    to[mx >> 3] |= static_cast<uint8_t>(0x80 >> (mx & 7));
                }
            }
        }
    }
    return mask;
}

// How glyph pixels paint: the 1-bit image's second colour and the ROP3 that does
// to the page what the mix does with the foreground brush. White is the
// transparent colour, so white text is drawn as black glyph pixels inverted.
struct GlyphPaint {
    Rgb color;
    uint8_t rop3 = kRopSrcCopy;
};

GlyphPaint GlyphPaintFor(Rgb foreground, uint8_t mixRop3) {
    if (foreground == kWhite) return GlyphPaint{kBlack, SourceInPlaceOfPattern(mixRop3, true)};
    return GlyphPaint{foreground, SourceInPlaceOfPattern(mixRop3, false)};
}

void FillRects(xlr::XLStream* stream, const std::vector<RECTL>& rects, Rgb color) {
    xlr::XLSetColorSpace(stream, eRGB);
    XLSetBrushRgb(stream, color);
    xlr::XLSetNullPen(stream);
    xlr::XLNewPath(stream);
    for (const RECTL& r : rects) xlr::XLRectanglePath(stream, r.left, r.top, r.right, r.bottom);
    xlr::XLPaintPath(stream);
}

std::vector<RECTL> ExtraRects(const RECTL* extra, const RECTL& limit) {
    std::vector<RECTL> rects;
    if (extra == nullptr) return rects;
    for (int i = 0; i < kMaxExtraRects; ++i) {
        const RECTL& r = extra[i];
        if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) break;
        const RECTL inside = IntersectRects(OrderedRect(r), limit);
        if (!IsEmptyRect(inside)) rects.push_back(inside);
    }
    return rects;
}

}  // namespace

BOOL DrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* /*pptlOrg*/,
                MIX mix) {
    return GuardedCall([&] {
        if (pso == nullptr || pstro == nullptr || pstro->cGlyphs > kMaxGlyphs ||
            (pstro->cGlyphs > 0 && (pstro->pgp == nullptr || pfo == nullptr)))
            return FailCall(ERROR_INVALID_PARAMETER);
        DrawingTarget target;
        if (!OpenTarget(pso, pco, target)) return FALSE;
        const RECTL& limit = target.clip.bounds;

        std::optional<Rgb> opaqueColor;
        RECTL opaque{};
        if (prclOpaque != nullptr) {
            opaqueColor = SolidColor(pboOpaque);
            if (!opaqueColor)
                return FailCall(pboOpaque == nullptr ? ERROR_INVALID_PARAMETER
                                                     : ERROR_NOT_SUPPORTED);
            opaque = IntersectRects(OrderedRect(*prclOpaque), limit);
        }
        const uint8_t mixRop3 = Rop3OfMix(mix);
        Rgb foreground = kBlack;
        if (RopUsesPattern(mixRop3)) {
            const auto solid = SolidColor(pboFore);
            if (!solid)
                return FailCall(pboFore == nullptr ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
            foreground = *solid;
        }

        std::vector<PlacedGlyph> glyphs;
        RECTL glyphBox{};
        if (pstro->cGlyphs > 0) {
            const FontFace* face = FontFace::FromProducer(pfo->pvProducer);
            if (face == nullptr) return FailCall(ERROR_NOT_SUPPORTED);
            if (!RenderGlyphs(*face, *pstro, glyphs, glyphBox))
                return FailCall(ERROR_INVALID_PARAMETER);
        }
        const RECTL maskArea =
            mixRop3 == kRopDestination ? RECTL{} : IntersectRects(glyphBox, limit);
        const std::vector<RECTL> extras =
            mixRop3 == kRopDestination ? std::vector<RECTL>{} : ExtraRects(prclExtra, limit);
        if (IsEmptyRect(opaque) && IsEmptyRect(maskArea) && extras.empty()) return TRUE;

        DrawingOutput out(target.device);
        if (!out.Ok()) return FALSE;
        xlr::XLStream* stream = out.Stream();
        WriteDrawingState(stream, target.clip, kRopPatCopy);
        if (!IsEmptyRect(opaque)) FillRects(stream, {opaque}, *opaqueColor);
        bool sent = true;
        if (!IsEmptyRect(maskArea)) {
            const GlyphMask mask = MakeMask(glyphs, maskArea);
            const GlyphPaint paint = GlyphPaintFor(foreground, mixRop3);
            RasterImage image;
            image.format = RasterFormat::Indexed1;
            image.width = image.destWidth = static_cast<uint32_t>(maskArea.right - maskArea.left);
            image.height = image.destHeight = static_cast<uint32_t>(maskArea.bottom - maskArea.top);
            image.x = maskArea.left;
            image.y = maskArea.top;
            image.palette = {kWhite, paint.color};
            xlr::XLSetROP(stream, paint.rop3);
            xlr::XLSetSourceTxMode(stream, eTransparent);
            sent = WriteRasterImage(stream, image, [&](uint32_t row, uint8_t* bits) {
                std::copy_n(mask.bits.data() + row * mask.rowBytes, mask.rowBytes, bits);
            });
            xlr::XLSetSourceTxMode(stream, eOpaque);
        }
        if (!extras.empty()) {
            xlr::XLSetROP(stream, mixRop3);
            FillRects(stream, extras, foreground);
        }
        return out.Close(sent);
    });
}

}  // namespace xlhost
