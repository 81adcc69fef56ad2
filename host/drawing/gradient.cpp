// Gradient fills: rectangles shaded left to right or top to bottom, and
// triangles shaded between their corners, computed pixel by pixel over the part
// of the extents inside the clip and sent as one image. Pixels that no rectangle
// or triangle covers leave the page as it is.
#include <algorithm>
#include <cmath>
#include <vector>

#include "host/drawing/output/geometry.h"
#include "host/drawing/output/drawing_output.h"
#include "host/drawing/output/raster_image.h"
#include "host/drawing/functions.h"

namespace xlhost {
namespace {

struct Shape {
    RECTL box{};  // the pixels it may cover
    const TRIVERTEX* v[3] = {};
    bool triangle = false;
};

int64_t Channel(COLOR16 c) {
    return c >> 8;
}

Rgb Mix(const TRIVERTEX& a, const TRIVERTEX& b, int64_t t, int64_t span) {
    const auto mix = [&](COLOR16 ca, COLOR16 cb) {
        return static_cast<uint8_t>(
            std::clamp<int64_t>(Channel(ca) + (Channel(cb) - Channel(ca)) * t / span, 0, 255));
    };
    return Rgb{mix(a.Red, b.Red), mix(a.Green, b.Green), mix(a.Blue, b.Blue)};
}

bool MakeShapes(const TRIVERTEX* vertices, ULONG count, const void* mesh, ULONG meshCount,
                ULONG mode, std::vector<Shape>& shapes) {
    shapes.reserve(meshCount);
    for (ULONG i = 0; i < meshCount; ++i) {
        Shape shape;
        if (mode == GRADIENT_FILL_TRIANGLE) {
            const auto& t = static_cast<const GRADIENT_TRIANGLE*>(mesh)[i];
            const ULONG index[3] = {t.Vertex1, t.Vertex2, t.Vertex3};
            LONG x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
            for (int k = 0; k < 3; ++k) {
                if (index[k] >= count) return false;
                shape.v[k] = &vertices[index[k]];
                x0 = std::min(x0, shape.v[k]->x);
                y0 = std::min(y0, shape.v[k]->y);
                x1 = std::max(x1, shape.v[k]->x);
                y1 = std::max(y1, shape.v[k]->y);
            }
            // A pixel is inside when its centre is: columns x0 .. x1 - 1 at most.
            shape.triangle = true;
            shape.box = RECTL{x0, y0, x1, y1};
        } else {
            const auto& r = static_cast<const GRADIENT_RECT*>(mesh)[i];
            if (r.UpperLeft >= count || r.LowerRight >= count) return false;
            shape.v[0] = &vertices[r.UpperLeft];
            shape.v[1] = &vertices[r.LowerRight];
            shape.box =
                OrderedRect(RECTL{shape.v[0]->x, shape.v[0]->y, shape.v[1]->x, shape.v[1]->y});
        }
        shapes.push_back(shape);
    }
    return true;
}

// Shades the pixels of `shape` on device row `y` within columns [left, right).
void ShadeRow(const Shape& shape, ULONG mode, LONG y, LONG left, LONG right, uint8_t* rgb,
              uint8_t* mask) {
    const LONG from = std::max(left, shape.box.left);
    const LONG to = std::min(right, shape.box.right);
    const auto put = [&](LONG x, Rgb c) {
        const size_t k = static_cast<size_t>(x - left);
        rgb[3 * k] = c.r;
        rgb[3 * k + 1] = c.g;
        rgb[3 * k + 2] = c.b;
        mask[k >> 3] |= static_cast<uint8_t>(0x80 >> (k & 7));
    };
    const TRIVERTEX& a = *shape.v[0];
    const TRIVERTEX& b = *shape.v[1];
    if (!shape.triangle) {
        for (LONG x = from; x < to; ++x) {
            // The box is not empty, so the span along the shading is not 0.
            if (mode == GRADIENT_FILL_RECT_H)
                put(x, Mix(a, b, int64_t{x} - a.x, int64_t{b.x} - a.x));
            else
                put(x, Mix(a, b, int64_t{y} - a.y, int64_t{b.y} - a.y));
        }
        return;
    }
    // Barycentric weights at the pixel's centre; the pixel is inside when all
    // three have the triangle's orientation.
    const TRIVERTEX& c = *shape.v[2];
    const double area =
        double(b.x - a.x) * double(c.y - a.y) - double(b.y - a.y) * double(c.x - a.x);
    if (area == 0) return;
    const double py = y + 0.5;
    for (LONG x = from; x < to; ++x) {
        const double px = x + 0.5;
        const double wa =
            (double(b.x - px) * double(c.y - py) - double(b.y - py) * double(c.x - px)) / area;
        const double wb =
            (double(c.x - px) * double(a.y - py) - double(c.y - py) * double(a.x - px)) / area;
        const double wc = 1.0 - wa - wb;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        const auto mix = [&](COLOR16 ca, COLOR16 cb, COLOR16 cc) {
            const double v = wa * Channel(ca) + wb * Channel(cb) + wc * Channel(cc);
            return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        };
        put(x, Rgb{mix(a.Red, b.Red, c.Red), mix(a.Green, b.Green, c.Green),
                   mix(a.Blue, b.Blue, c.Blue)});
    }
}

}  // namespace

BOOL DrvGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* /*pxlo*/, TRIVERTEX* pVertex,
                     ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                     POINTL* /*pptlDitherOrg*/, ULONG ulMode) {
    return GuardedCall([&] {
        if (psoDest == nullptr || pVertex == nullptr || nVertex == 0 || pMesh == nullptr ||
            nMesh == 0 ||
            (ulMode != GRADIENT_FILL_RECT_H && ulMode != GRADIENT_FILL_RECT_V &&
             ulMode != GRADIENT_FILL_TRIANGLE))
            return FailCall(ERROR_INVALID_PARAMETER);
        DrawingTarget target;
        if (!OpenTarget(psoDest, pco, target)) return FALSE;
        std::vector<Shape> shapes;
        if (!MakeShapes(pVertex, nVertex, pMesh, nMesh, ulMode, shapes))
            return FailCall(ERROR_INVALID_PARAMETER);
        RECTL extents{};
        if (prclExtents != nullptr) {
            extents = OrderedRect(*prclExtents);
        } else {
            for (const Shape& shape : shapes) extents = UnionRects(extents, shape.box);
        }
        const RECTL area = IntersectRects(extents, target.clip.bounds);
        if (IsEmptyRect(area)) return TRUE;

        const bool covered = std::any_of(shapes.begin(), shapes.end(), [&](const Shape& shape) {
            const RECTL inside = IntersectRects(shape.box, area);
            return !shape.triangle && inside.left == area.left && inside.top == area.top &&
                   inside.right == area.right && inside.bottom == area.bottom;
        });
        RasterImage image;
        image.width = image.destWidth = static_cast<uint32_t>(area.right - area.left);
        image.height = image.destHeight = static_cast<uint32_t>(area.bottom - area.top);
        image.x = area.left;
        image.y = area.top;
        std::vector<uint8_t> scratchMask(RowBytes(RasterFormat::Indexed1, image.width));
        const auto fill = [&](uint32_t row, uint8_t* rgb, uint8_t* mask) {
            const LONG y = area.top + static_cast<LONG>(row);
            for (const Shape& shape : shapes)
                if (y >= shape.box.top && y < shape.box.bottom)
                    ShadeRow(shape, ulMode, y, area.left, area.right, rgb, mask);
        };

        DrawingOutput out(target.device);
        if (!out.Ok()) return FALSE;
        WriteDrawingState(out.Stream(), target.clip, 0xCC);
        const bool sent = covered ? WriteRasterImage(out.Stream(), image,
                                                     [&](uint32_t row, uint8_t* rgb) {
                                                         fill(row, rgb, scratchMask.data());
                                                     })
                                  : WriteMaskedImage(out.Stream(), image, fill);
        return out.Close(sent);
    });
}

}  // namespace xlhost
