// Transfers onto a parallelogram. The graphics engine's EngPlgBlt draws the
// source into 24-bit strips of the parallelogram's box (and, for the pixels it
// covers, a 1-bit strip), which go out as one image; quarter turns and mirrors
// on whole pixels come out exact. Strips keep the memory small for a page-sized
// transfer.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <xlplatform/engine.h>

#include "host/drawing/output/geometry.h"
#include "host/drawing/output/drawing_output.h"
#include "host/drawing/output/raster_image.h"
#include "host/drawing/source_bitmap.h"
#include "host/drawing/functions.h"

namespace xlhost {
namespace {

// Strips of about this many bytes of 24-bit pixels.
constexpr size_t kStripBytes = 4 * 1024 * 1024;
// Corners farther out than this cannot be moved by a strip's offset within a FIX.
constexpr int64_t kLargestCorner = int64_t{1} << 27;

// An engine bitmap, top-down, locked for as long as it lives.
class TempBitmap {
  public:
    TempBitmap(LONG width, LONG height, ULONG format) {
        handle_ = EngCreateBitmap(SIZEL{width, height}, 0, format, BMF_TOPDOWN, nullptr);
        if (handle_ != nullptr) surface_ = EngLockSurface(reinterpret_cast<HSURF>(handle_));
    }
    ~TempBitmap() {
        if (surface_ != nullptr) EngUnlockSurface(surface_);
        if (handle_ != nullptr) EngDeleteSurface(reinterpret_cast<HSURF>(handle_));
    }
    TempBitmap(const TempBitmap&) = delete;
    TempBitmap& operator=(const TempBitmap&) = delete;

    SURFOBJ* Surface() const { return surface_; }
    const BYTE* Row(LONG y) const {
        return static_cast<const BYTE*>(surface_->pvScan0) + surface_->lDelta * y;
    }

  private:
    HBITMAP handle_ = nullptr;
    SURFOBJ* surface_ = nullptr;
};

struct XlateDeleter {
    void operator()(XLATEOBJ* xlate) const { xlplatform::DeleteXlate(xlate); }
};
using EngineXlate = std::unique_ptr<XLATEOBJ, XlateDeleter>;

// A translation the engine understands that gives the colours SourceColors reads:
// the source's palette for indexed formats, a format conversion for direct ones.
EngineXlate TranslationTo24(ULONG format, XLATEOBJ* given) {
    if (format == BMF_1BPP || format == BMF_4BPP || format == BMF_8BPP) {
        const SourceColors colors(format, given);
        const ULONG entries = format == BMF_1BPP ? 2 : format == BMF_4BPP ? 16 : 256;
        std::vector<ULONG> table(entries);
        for (ULONG i = 0; i < entries; ++i) table[i] = DeviceColorOfRgb(colors(i));
        return EngineXlate(xlplatform::CreatePaletteXlate(table));
    }
    return EngineXlate(xlplatform::CreateFormatXlate(format, BMF_24BPP));
}

struct Parallelogram {
    POINTFIX corners[3];          // where the source's top-left, top-right and bottom-left go
    RECTL box{};                  // device pixels whose centres it may cover
    bool wholeRectangle = false;  // it is its box, on whole pixels: it covers every pixel of it
};

bool DescribeParallelogram(const POINTFIX* pptfx, Parallelogram& shape) {
    const int64_t ax = pptfx[0].x, ay = pptfx[0].y;
    const int64_t ux = int64_t{pptfx[1].x} - ax, uy = int64_t{pptfx[1].y} - ay;
    const int64_t vx = int64_t{pptfx[2].x} - ax, vy = int64_t{pptfx[2].y} - ay;
    const int64_t xs[] = {ax, ax + ux, ax + vx, ax + ux + vx};
    const int64_t ys[] = {ay, ay + uy, ay + vy, ay + uy + vy};
    for (int i = 0; i < 4; ++i)
        if (std::abs(xs[i]) >= kLargestCorner || std::abs(ys[i]) >= kLargestCorner) return false;
    std::copy(pptfx, pptfx + 3, shape.corners);
    const auto [minX, maxX] = std::minmax_element(std::begin(xs), std::end(xs));
    const auto [minY, maxY] = std::minmax_element(std::begin(ys), std::end(ys));
    shape.box = RECTL{static_cast<LONG>(*minX >> 4), static_cast<LONG>(*minY >> 4),
                      static_cast<LONG>((*maxX + 15) >> 4), static_cast<LONG>((*maxY + 15) >> 4)};
    const bool axisAligned = (uy == 0 && vx == 0) || (ux == 0 && vy == 0);
    const bool wholePixels =
        std::all_of(std::begin(xs), std::end(xs), [](int64_t v) { return (v & 15) == 0; }) &&
        std::all_of(std::begin(ys), std::end(ys), [](int64_t v) { return (v & 15) == 0; });
    shape.wholeRectangle = axisAligned && wholePixels;
    return true;
}

// Draws strips of the area through the engine: colours, and which pixels the
// parallelogram covers.
class StripRenderer {
  public:
    StripRenderer(SURFOBJ* source, XLATEOBJ* xlate, COLORADJUSTMENT* pca, POINTL* brushOrigin,
                  RECTL sourceRect, ULONG mode, const Parallelogram& shape, const RECTL& area)
        : source_(source),
          xlate_(xlate),
          pca_(pca),
          brushOrigin_(brushOrigin),
          sourceRect_(sourceRect),
          mode_(mode),
          shape_(shape),
          area_(area),
          width_(area.right - area.left),
          rows_(static_cast<LONG>(
              std::clamp<size_t>(kStripBytes / (size_t(width_) * 3), 1, area.bottom - area.top))),
          colors_(width_, rows_, BMF_24BPP),
          coverage_(width_, rows_, BMF_1BPP),
          onePixel_(1, 1, BMF_1BPP) {
        if (onePixel_.Surface() != nullptr)
            static_cast<BYTE*>(onePixel_.Surface()->pvScan0)[0] = 0x80;
    }

    bool Ok() const {
        return colors_.Surface() != nullptr && coverage_.Surface() != nullptr &&
               onePixel_.Surface() != nullptr;
    }
    // The strip that holds image row `row` is drawn; false when the engine failed.
    bool Reach(uint32_t row) {
        const LONG top = static_cast<LONG>(row) / rows_ * rows_;
        if (top == stripTop_) return drawn_;
        stripTop_ = top;
        drawn_ = Draw(area_.top + top);
        return drawn_;
    }
    const BYTE* ColorRow(uint32_t row) const {
        return colors_.Row(static_cast<LONG>(row) - stripTop_);
    }
    const BYTE* CoverageRow(uint32_t row) const {
        return coverage_.Row(static_cast<LONG>(row) - stripTop_);
    }

  private:
    bool Draw(LONG deviceTop) {
        POINTFIX corners[3];
        for (int i = 0; i < 3; ++i)
            corners[i] = POINTFIX{shape_.corners[i].x - area_.left * 16,
                                  shape_.corners[i].y - deviceTop * 16};
        SURFOBJ* coverage = coverage_.Surface();
        std::memset(coverage->pvBits, 0, coverage->cjBits);
        RECTL one{0, 0, 1, 1};
        return EngPlgBlt(colors_.Surface(), source_, nullptr, nullptr, xlate_, pca_, brushOrigin_,
                         corners, &sourceRect_, nullptr, mode_) &&
               EngPlgBlt(coverage, onePixel_.Surface(), nullptr, nullptr, nullptr, nullptr, nullptr,
                         corners, &one, nullptr, COLORONCOLOR);
    }

    SURFOBJ* source_;
    XLATEOBJ* xlate_;
    COLORADJUSTMENT* pca_;
    POINTL* brushOrigin_;
    RECTL sourceRect_;
    ULONG mode_;
    Parallelogram shape_;
    RECTL area_;
    LONG width_;
    LONG rows_;
    TempBitmap colors_;
    TempBitmap coverage_;
    TempBitmap onePixel_;
    LONG stripTop_ = -1;
    bool drawn_ = false;
};

}  // namespace

BOOL DrvPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco, XLATEOBJ* pxlo,
               COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx, RECTL* prcl,
               POINTL* /*pptl*/, ULONG iMode) {
    return GuardedCall([&] {
        if (psoTrg == nullptr || psoSrc == nullptr || pptfx == nullptr || prcl == nullptr)
            return FailCall(ERROR_INVALID_PARAMETER);
        if (psoMsk != nullptr) return FailCall(ERROR_NOT_SUPPORTED);
        DrawingTarget target;
        if (!OpenTarget(psoTrg, pco, target)) return FALSE;
        SourceBitmap bitmap;
        if (!bitmap.Open(psoSrc)) return FailCall(ERROR_NOT_SUPPORTED);
        const RECTL sourceRect = OrderedRect(*prcl);
        if (IsEmptyRect(sourceRect) || sourceRect.left < 0 || sourceRect.top < 0 ||
            sourceRect.right > bitmap.Width() || sourceRect.bottom > bitmap.Height())
            return FailCall(ERROR_INVALID_PARAMETER);
        Parallelogram shape;
        if (!DescribeParallelogram(pptfx, shape)) return FailCall(ERROR_INVALID_PARAMETER);
        const RECTL area = IntersectRects(shape.box, target.clip.bounds);
        if (IsEmptyRect(area)) return TRUE;

        const EngineXlate xlate = TranslationTo24(bitmap.Format(), pxlo);
        if (!xlate) return FailCall(ERROR_NOT_ENOUGH_MEMORY);
        const ULONG mode =
            iMode >= BLACKONWHITE && iMode <= MAXSTRETCHBLTMODE ? iMode : COLORONCOLOR;
        StripRenderer strips(psoSrc, xlate.get(), pca, pptlBrushOrg, sourceRect, mode, shape, area);
        if (!strips.Ok()) return FailCall(ERROR_NOT_ENOUGH_MEMORY);
        // The first strip shows whether the engine takes the call at all, before anything is
        // written.
        if (!strips.Reach(0)) return FALSE;

        RasterImage image;
        image.width = image.destWidth = static_cast<uint32_t>(area.right - area.left);
        image.height = image.destHeight = static_cast<uint32_t>(area.bottom - area.top);
        image.x = area.left;
        image.y = area.top;
        bool engineFailed = false;
        const auto fill = [&](uint32_t row, uint8_t* rgb, uint8_t* mask) {
            if (!strips.Reach(row)) {
                engineFailed = true;
                return;  // the row stays unmarked
            }
            const BYTE* bgr = strips.ColorRow(row);
            for (uint32_t x = 0; x < image.width; ++x) {
                rgb[3 * x] = bgr[3 * x + 2];
                rgb[3 * x + 1] = bgr[3 * x + 1];
                rgb[3 * x + 2] = bgr[3 * x];
            }
            std::memcpy(mask, strips.CoverageRow(row),
                        RowBytes(RasterFormat::Indexed1, image.width));
        };
        std::vector<uint8_t> unusedMask(RowBytes(RasterFormat::Indexed1, image.width));

        DrawingOutput out(target.device);
        if (!out.Ok()) return FALSE;
        WriteDrawingState(out.Stream(), target.clip, 0xCC);
        const bool sent = shape.wholeRectangle
                              ? WriteRasterImage(out.Stream(), image,
                                                 [&](uint32_t row, uint8_t* rgb) {
                                                     fill(row, rgb, unusedMask.data());
                                                 })
                              : WriteMaskedImage(out.Stream(), image, fill);
        const BOOL written = out.Close(sent);
        return engineFailed ? FALSE : written;
    });
}

}  // namespace xlhost
