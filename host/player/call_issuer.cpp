#include "host/player/call_issuer.h"

#include <algorithm>
#include <cmath>

#include "host/player/engine_handles.h"

namespace xlhost {
namespace {

constexpr MIX kCopyPen = 0x0D0D;   // R2_COPYPEN in the foreground and the background
constexpr ROP4 kPatCopy = 0xF0F0;  // PATCOPY

RECTL Intersect(const RECTL& a, const RECTL& b) {
    return RECTL{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const RECTL& r) {
    return r.left >= r.right || r.top >= r.bottom;
}
bool Contains(const RECTL& outer, const RECTL& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
RECTL Normalized(const RECTL& r) {
    return RECTL{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom)};
}

// What the engine hands a driver as the clip of a call within a band: trivial
// when nothing needs clipping, the band or the call's clip rectangles cut to
// the band otherwise. Null (with `visible` false) when nothing of the call shows.
OwnedClip MakeClip(const std::optional<std::vector<RECTL>>& clip, const RECTL& bounds,
                   const RECTL& band, bool& visible) {
    visible = false;
    if (IsEmpty(Intersect(bounds, band))) return nullptr;
    if (!clip) {
        visible = true;
        if (Contains(band, bounds)) {
            OwnedClip trivial(EngCreateClip());
            if (trivial) trivial->rclBounds = band;
            return trivial;
        }
        return OwnedClip(xlplatform::CreateRectClip(band));
    }
    std::vector<RECTL> rects;
    bool touches = false;
    for (const RECTL& r : *clip) {
        const RECTL inside = Intersect(r, band);
        if (IsEmpty(inside)) continue;
        rects.push_back(inside);
        touches = touches || !IsEmpty(Intersect(inside, bounds));
    }
    if (!touches) return nullptr;
    visible = true;
    return OwnedClip(rects.size() == 1 ? xlplatform::CreateRectClip(rects[0])
                                       : xlplatform::CreateRegionClip(rects));
}

// The colour translation from 24-bit sources to the page surface.
OwnedXlate MakeXlate(const SURFOBJ* surface) {
    if (surface->iBitmapFormat == BMF_24BPP) return OwnedXlate(xlplatform::CreateTrivialXlate());
    OwnedXlate xlate(xlplatform::CreateFormatXlate(BMF_24BPP, surface->iBitmapFormat));
    return xlate ? std::move(xlate) : OwnedXlate(xlplatform::CreateTrivialXlate());
}

class Issuer {
  public:
    Issuer(IssueContext& context, SURFOBJ* surface, const DeviceCall& call, const RECTL& band,
           std::string& error)
        : context_(context), surface_(surface), call_(call), band_(band), error_(error) {}

    bool Image(const DeviceImage& image);
    bool Fill(const DeviceFill& fill);
    bool Line(const DeviceLine& line);
    bool Text(const DeviceText& text);

  private:
    bool Fail(const std::string& message) {
        error_ = call_.place + ": " + message;
        return false;
    }
    // A driver function's answer: FALSE is reported and the document goes on.
    void Answer(BOOL result, std::string_view function) {
        if (!result) context_.warn(call_.place + ": " + std::string(function) + " returned FALSE");
    }
    bool DeviceTakesPng(PlayerImage& image);
    OwnedSurface CompressedSource(const DeviceImage& image);
    OwnedSurface RowsOf(const DecodedImage& pixels, LONG top, LONG bottom);
    bool Blit(const DeviceImage& image, SURFOBJ* source, const RECTL& sourceRect,
              const RECTL& destination, std::array<POINTFIX, 3> parallelogram, CLIPOBJ* clip);

    IssueContext& context_;
    SURFOBJ* surface_;
    const DeviceCall& call_;
    const RECTL& band_;
    std::string& error_;
};

bool Issuer::DeviceTakesPng(PlayerImage& image) {
    // An application asks the device before it hands over a PNG, once per image.
    if (!image.deviceTakesPng) {
        const auto& functions = context_.sink.Functions();
        const auto& bytes = image.source.bytes;
        image.deviceTakesPng =
            (context_.sink.DevInfo().flGraphicsCaps2 & GCAPS2_PNGSRC) != 0 &&
            functions.queryDeviceSupport != nullptr &&
            functions.queryDeviceSupport(surface_, nullptr, nullptr, QDS_CHECKPNGFORMAT,
                                         static_cast<ULONG>(bytes.size()),
                                         const_cast<uint8_t*>(bytes.data()), 0, nullptr) != FALSE;
    }
    return *image.deviceTakesPng;
}

OwnedSurface Issuer::CompressedSource(const DeviceImage& image) {
    const ULONG format = image.image->source.format == ImageFormat::Jpeg ? BMF_JPEG : BMF_PNG;
    OwnedSurface surface(
        xlplatform::CreateCompressedSurface(format, image.image->source.bytes, image.declaredSize));
    if (surface) EngAssociateSurface(surface.handle(), context_.sink.EngineDevice(), 0);
    return surface;
}

// A bottom-up 24-bit bitmap over rows [top, bottom) of the decoded image, as an
// application hands over a band of a picture: the bits are not copied.
OwnedSurface Issuer::RowsOf(const DecodedImage& pixels, LONG top, LONG bottom) {
    auto* bits =
        const_cast<uint8_t*>(pixels.bits.data()) + (pixels.height - bottom) * pixels.stride;
    const SIZEL size{static_cast<LONG>(pixels.width), bottom - top};
    HBITMAP bitmap = EngCreateBitmap(size, static_cast<LONG>(pixels.stride), BMF_24BPP, 0, bits);
    OwnedSurface surface(reinterpret_cast<HSURF>(bitmap));
    if (surface) EngAssociateSurface(surface.handle(), context_.sink.EngineDevice(), 0);
    return surface;
}

bool Issuer::Blit(const DeviceImage& image, SURFOBJ* source, const RECTL& sourceRect,
                  const RECTL& destination, std::array<POINTFIX, 3> parallelogram, CLIPOBJ* clip) {
    const DrvFunctions& f = context_.sink.Functions();
    OwnedXlate xlate = source->iBitmapFormat == BMF_24BPP
                           ? MakeXlate(surface_)
                           : OwnedXlate(xlplatform::CreateTrivialXlate());
    if (!xlate) return Fail("the engine could not make a colour translation");
    BRUSHOBJ brush = xlplatform::SolidBrush(image.brush.value_or(0));
    BRUSHOBJ* brushArg = image.brush ? &brush : nullptr;
    POINTL origin{0, 0};
    RECTL dest = destination;
    RECTL src = sourceRect;
    POINTL sourcePoint{sourceRect.left, sourceRect.top};
    switch (image.hook) {
        case BlitHook::BitBlt:
            if (f.bitBlt == nullptr) return Fail("the device has no DrvBitBlt");
            Answer(f.bitBlt(surface_, source, nullptr, clip, xlate.get(), &dest, &sourcePoint,
                            nullptr, brushArg, &origin, image.rop4),
                   "DrvBitBlt");
            return true;
        case BlitHook::CopyBits:
            if (f.copyBits == nullptr) return Fail("the device has no DrvCopyBits");
            Answer(f.copyBits(surface_, source, clip, xlate.get(), &dest, &sourcePoint),
                   "DrvCopyBits");
            return true;
        case BlitHook::StretchBlt:
            if (f.stretchBlt == nullptr) return Fail("the device has no DrvStretchBlt");
            Answer(f.stretchBlt(surface_, source, nullptr, clip, xlate.get(), nullptr, &origin,
                                &dest, &src, nullptr, image.stretchMode),
                   "DrvStretchBlt");
            return true;
        case BlitHook::StretchBltROP:
            if (f.stretchBltROP == nullptr) return Fail("the device has no DrvStretchBltROP");
            Answer(f.stretchBltROP(surface_, source, nullptr, clip, xlate.get(), nullptr, &origin,
                                   &dest, &src, nullptr, image.stretchMode, brushArg, image.rop4),
                   "DrvStretchBltROP");
            return true;
        case BlitHook::PlgBlt:
            if (f.plgBlt == nullptr) return Fail("the device has no DrvPlgBlt");
            Answer(f.plgBlt(surface_, source, nullptr, clip, xlate.get(), nullptr, &origin,
                            parallelogram.data(), &src, nullptr, image.stretchMode),
                   "DrvPlgBlt");
            return true;
        case BlitHook::Auto:
            break;
    }
    return Fail("no blit hook chosen");
}

bool Issuer::Image(const DeviceImage& image) {
    PlayerImage& file = *image.image;
    const bool compressed =
        image.passThrough && (file.source.format == ImageFormat::Jpeg || DeviceTakesPng(file));
    if (!compressed && !file.pixels) return Fail("the image was not decoded");
    RECTL source = image.source;
    if (image.passThrough && !compressed &&
        (image.declaredSize.cx != LONG(file.source.width) ||
         image.declaredSize.cy != LONG(file.source.height))) {
        // Refused PNG: the call's source rectangle is in the declared size's pixels.
        auto scale = [](LONG v, LONG to, LONG from) {
            return static_cast<LONG>(int64_t{v} * to / from);
        };
        source = RECTL{scale(source.left, file.source.width, image.declaredSize.cx),
                       scale(source.top, file.source.height, image.declaredSize.cy),
                       scale(source.right, file.source.width, image.declaredSize.cx),
                       scale(source.bottom, file.source.height, image.declaredSize.cy)};
    }
    const LONG sourceHeight = source.bottom - source.top;
    const RECTL& dest = image.destination;
    const auto& p = image.parallelogram;
    for (int32_t band = 0; band < image.bands; ++band) {
        // Rows [top, bottom) of the source rectangle, and the part of the
        // destination they land on.
        const LONG top = source.top + static_cast<LONG>(int64_t{sourceHeight} * band / image.bands);
        const LONG bottom =
            source.top + static_cast<LONG>(int64_t{sourceHeight} * (band + 1) / image.bands);
        auto destY = [&](LONG y) {
            return dest.top + static_cast<LONG>(int64_t{dest.bottom - dest.top} * (y - source.top) /
                                                sourceHeight);
        };
        const RECTL pieceDest{dest.left, destY(top), dest.right, destY(bottom)};
        auto along = [&](const POINTFIX& from, LONG y) {
            const double t = double(y - source.top) / sourceHeight;
            return POINTFIX{from.x + static_cast<FIX>(std::lround((p[2].x - p[0].x) * t)),
                            from.y + static_cast<FIX>(std::lround((p[2].y - p[0].y) * t))};
        };
        const std::array<POINTFIX, 3> piecePoints{along(p[0], top), along(p[1], top),
                                                  along(p[0], bottom)};
        RECTL pieceBounds = call_.bounds;
        if (image.bands > 1 && image.hook != BlitHook::PlgBlt) {
            if (pieceDest.top == pieceDest.bottom) continue;  // the piece shrinks to nothing
            pieceBounds = Normalized(pieceDest);
        }
        bool visible = false;
        OwnedClip clip = MakeClip(call_.clip, pieceBounds, band_, visible);
        if (!visible) continue;
        if (!clip) return Fail("the engine could not make a clip object");

        OwnedSurface surface;
        RECTL pieceSource = source;
        if (compressed) {
            surface = CompressedSource(image);
        } else if (image.bands == 1) {
            surface = RowsOf(*file.pixels, 0, static_cast<LONG>(file.pixels->height));
        } else {
            surface = RowsOf(*file.pixels, top, bottom);
            pieceSource = RECTL{source.left, 0, source.right, bottom - top};
        }
        if (!surface) return Fail("the engine could not make the source surface");
        if (!Blit(image, surface.get(), pieceSource, image.bands == 1 ? dest : pieceDest,
                  piecePoints, clip.get()))
            return false;
    }
    return true;
}

OwnedPath MakePath(const std::vector<POINTFIX>& points, bool close) {
    OwnedPath path(EngCreatePath());
    if (!path || points.empty()) return path;
    std::vector<POINTFIX> rest(points.begin() + 1, points.end());
    if (!PATHOBJ_bMoveTo(path.get(), points[0]) ||
        (!rest.empty() &&
         !PATHOBJ_bPolyLineTo(path.get(), rest.data(), static_cast<ULONG>(rest.size()))) ||
        (close && !PATHOBJ_bCloseFigure(path.get())))
        return nullptr;
    return path;
}

bool Issuer::Fill(const DeviceFill& fill) {
    bool visible = false;
    OwnedClip clip = MakeClip(call_.clip, call_.bounds, band_, visible);
    if (!visible) return true;
    if (!clip) return Fail("the engine could not make a clip object");
    const DrvFunctions& f = context_.sink.Functions();
    BRUSHOBJ brush = xlplatform::SolidBrush(fill.color);
    POINTL origin{0, 0};
    if (fill.rect) {
        // A filled rectangle reaches the driver as a pattern blit (PatBlt).
        if (f.bitBlt == nullptr) return Fail("the device has no DrvBitBlt");
        RECTL rect = *fill.rect;
        Answer(f.bitBlt(surface_, nullptr, nullptr, clip.get(), nullptr, &rect, nullptr, nullptr,
                        &brush, &origin, kPatCopy),
               "DrvBitBlt");
        return true;
    }
    if (f.fillPath == nullptr) return Fail("the device has no DrvFillPath");
    OwnedPath path = MakePath(fill.polygon, true);
    if (!path) return Fail("the engine could not make a path");
    Answer(f.fillPath(surface_, path.get(), clip.get(), &brush, &origin, kCopyPen,
                      fill.winding ? FP_WINDINGMODE : FP_ALTERNATEMODE),
           "DrvFillPath");
    return true;
}

bool Issuer::Line(const DeviceLine& line) {
    bool visible = false;
    OwnedClip clip = MakeClip(call_.clip, call_.bounds, band_, visible);
    if (!visible) return true;
    if (!clip) return Fail("the engine could not make a clip object");
    const DrvFunctions& f = context_.sink.Functions();
    BRUSHOBJ brush = xlplatform::SolidBrush(line.color);
    if (line.width == 0 && line.points.size() == 2 && f.lineTo != nullptr) {
        // A cosmetic line of one segment goes to DrvLineTo where the device has it.
        RECTL bounds = call_.bounds;
        Answer(f.lineTo(surface_, clip.get(), &brush, line.points[0].x >> 4, line.points[0].y >> 4,
                        line.points[1].x >> 4, line.points[1].y >> 4, &bounds, kCopyPen),
               "DrvLineTo");
        return true;
    }
    if (f.strokePath == nullptr) return Fail("the device has no DrvStrokePath");
    OwnedPath path = MakePath(line.points, false);
    if (!path) return Fail("the engine could not make a path");
    LINEATTRS attributes{};
    attributes.iJoin = JOIN_ROUND;
    attributes.iEndCap = ENDCAP_ROUND;
    XFORMOBJ identity{};
    if (line.width > 0) {
        attributes.fl = LA_GEOMETRIC;
        attributes.elWidth.e = static_cast<FLOATL>(line.width);
    } else {
        attributes.elWidth.l = 1;
    }
    POINTL origin{0, 0};
    Answer(f.strokePath(surface_, path.get(), clip.get(), line.width > 0 ? &identity : nullptr,
                        &brush, &origin, &attributes, kCopyPen),
           "DrvStrokePath");
    return true;
}

bool Issuer::Text(const DeviceText& text) {
    if (!context_.layOutText)
        return Fail("text needs a text layout, and the player was given none");
    std::string message;
    std::unique_ptr<TextRun> run =
        context_.layOutText(text.text, text.font, text.pixelHeight, text.origin, message);
    if (!run) return Fail(message.empty() ? "the text could not be laid out" : message);
    bool visible = false;
    OwnedClip clip = MakeClip(call_.clip, run->bounds, band_, visible);
    if (!visible) return true;
    if (!clip) return Fail("the engine could not make a clip object");
    const DrvFunctions& f = context_.sink.Functions();
    if (f.textOut == nullptr) return Fail("the device has no DrvTextOut");
    BRUSHOBJ foreground = xlplatform::SolidBrush(text.color);
    BRUSHOBJ opaque = xlplatform::SolidBrush(text.background.value_or(0xFFFFFF));
    RECTL opaqueRect = run->bounds;
    POINTL origin{0, 0};
    Answer(f.textOut(surface_, &run->str, &run->font, clip.get(), nullptr,
                     text.background ? &opaqueRect : nullptr, &foreground,
                     text.background ? &opaque : nullptr, &origin, kCopyPen),
           "DrvTextOut");
    return true;
}

}  // namespace

bool IssueCall(IssueContext& context, SURFOBJ* surface, const DeviceCall& call, const RECTL& band,
               std::string& error) {
    Issuer issuer(context, surface, call, band, error);
    return std::visit(
        [&](const auto& what) {
            using T = std::decay_t<decltype(what)>;
            if constexpr (std::is_same_v<T, DeviceImage>) return issuer.Image(what);
            if constexpr (std::is_same_v<T, DeviceFill>) return issuer.Fill(what);
            if constexpr (std::is_same_v<T, DeviceLine>) return issuer.Line(what);
            if constexpr (std::is_same_v<T, DeviceText>) return issuer.Text(what);
        },
        call.what);
}

}  // namespace xlhost
