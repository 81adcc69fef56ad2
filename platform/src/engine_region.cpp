// Regions: rectangles merged into non-overlapping bands, and the inside of a path
// rasterised pixel by pixel.
#include <algorithm>
#include <cmath>

#include "engine_internal.h"

namespace xlplatform::engine {
namespace {

struct Span {
    LONG left;
    LONG right;
    bool operator==(const Span&) const = default;
};

// Sorts and joins spans that overlap or touch.
std::vector<Span> MergeSpans(std::vector<Span> spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.left < b.left; });
    std::vector<Span> merged;
    for (const Span& s : spans) {
        if (!merged.empty() && s.left <= merged.back().right) {
            merged.back().right = std::max(merged.back().right, s.right);
        } else {
            merged.push_back(s);
        }
    }
    return merged;
}

// Collects bands top to bottom; a band with the same spans as the one just above
// it, and touching it, extends that band instead of starting a new one.
class BandBuilder {
  public:
    void Add(LONG top, LONG bottom, std::vector<Span> spans) {
        if (spans.empty() || top >= bottom) return;
        if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
            bands_.back().bottom = bottom;
            return;
        }
        bands_.push_back(Band{top, bottom, std::move(spans)});
    }
    std::vector<RECTL> Rects() const {
        std::vector<RECTL> rects;
        for (const Band& band : bands_) {
            for (const Span& s : band.spans)
                rects.push_back(RECTL{s.left, band.top, s.right, band.bottom});
        }
        return rects;
    }

  private:
    struct Band {
        LONG top;
        LONG bottom;
        std::vector<Span> spans;
    };
    std::vector<Band> bands_;
};

struct Edge {
    double x0, y0, x1, y1;
};

constexpr double kFix = 16.0;

void FlattenBezier(const POINTFIX& p0, const POINTFIX& p1, const POINTFIX& p2, const POINTFIX& p3,
                   std::vector<std::pair<double, double>>& out) {
    const double length =
        (std::hypot(p1.x - p0.x, p1.y - p0.y) + std::hypot(p2.x - p1.x, p2.y - p1.y) +
         std::hypot(p3.x - p2.x, p3.y - p2.y)) /
        kFix;
    const int steps = std::clamp(static_cast<int>(length / 2) + 1, 1, 256);
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double u = 1 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.emplace_back((a * p0.x + b * p1.x + c * p2.x + d * p3.x) / kFix,
                         (a * p0.y + b * p1.y + c * p2.y + d * p3.y) / kFix);
    }
}

}  // namespace

std::vector<RECTL> MakeRegion(const std::vector<RECTL>& input) {
    std::vector<RECTL> rects;
    std::vector<LONG> ys;
    for (const RECTL& r : input) {
        if (IsEmpty(r)) continue;
        rects.push_back(r);
        ys.push_back(r.top);
        ys.push_back(r.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::sort(rects.begin(), rects.end(),
              [](const RECTL& a, const RECTL& b) { return a.top < b.top; });

    BandBuilder bands;
    std::vector<const RECTL*> active;
    size_t next = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const LONG top = ys[i], bottom = ys[i + 1];
        std::erase_if(active, [top](const RECTL* r) { return r->bottom <= top; });
        while (next < rects.size() && rects[next].top <= top) active.push_back(&rects[next++]);
        std::vector<Span> spans;
        for (const RECTL* r : active) spans.push_back(Span{r->left, r->right});
        bands.Add(top, bottom, MergeSpans(std::move(spans)));
    }
    return bands.Rects();
}

bool RasterizePath(const PathImpl& path, FLONG fillMode, std::vector<RECTL>& region) {
    // Every figure is closed for filling.
    std::vector<Edge> edges;
    double minY = 0, maxY = 0, minX = 0, maxX = 0;
    bool any = false;
    for (const PathFigure& figure : path.figures) {
        std::vector<std::pair<double, double>> polygon;
        polygon.emplace_back(figure.points[0].x / kFix, figure.points[0].y / kFix);
        for (size_t i = 1; i < figure.points.size(); ++i) {
            if (figure.kinds[i] == PointKind::Bezier && i + 2 < figure.points.size()) {
                FlattenBezier(figure.points[i - 1], figure.points[i], figure.points[i + 1],
                              figure.points[i + 2], polygon);
                i += 2;
            } else {
                polygon.emplace_back(figure.points[i].x / kFix, figure.points[i].y / kFix);
            }
        }
        for (size_t i = 0; i < polygon.size(); ++i) {
            const auto& [x0, y0] = polygon[i];
            const auto& [x1, y1] = polygon[(i + 1) % polygon.size()];
            if (!any) {
                minX = maxX = x0;
                minY = maxY = y0;
                any = true;
            }
            minX = std::min(minX, x0);
            maxX = std::max(maxX, x0);
            minY = std::min(minY, y0);
            maxY = std::max(maxY, y0);
            if (y0 != y1) edges.push_back(Edge{x0, y0, x1, y1});
        }
    }
    region.clear();
    if (!any) return false;
    // Rows are scanned one by one: refuse what no page would need.
    constexpr double kMaxRows = 1 << 17;
    constexpr double kMaxColumns = 1 << 24;
    if (maxY - minY > kMaxRows || maxX - minX > kMaxColumns) return false;

    BandBuilder bands;
    const LONG firstRow = static_cast<LONG>(std::floor(minY));
    const LONG lastRow = static_cast<LONG>(std::ceil(maxY));
    std::vector<std::pair<double, int>> crossings;
    for (LONG y = firstRow; y < lastRow; ++y) {
        const double yc = y + 0.5;  // a pixel is inside when its centre is
        crossings.clear();
        for (const Edge& e : edges) {
            const bool down = e.y1 > e.y0;
            const double top = down ? e.y0 : e.y1, bottom = down ? e.y1 : e.y0;
            if (yc < top || yc >= bottom) continue;
            const double x = e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
            crossings.emplace_back(x, down ? 1 : -1);
        }
        std::sort(crossings.begin(), crossings.end());
        std::vector<Span> spans;
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += fillMode == FP_WINDINGMODE ? crossings[i].second : 1;
            const bool inside = fillMode == FP_WINDINGMODE ? winding != 0 : (winding & 1) != 0;
            if (!inside) continue;
            const LONG left = static_cast<LONG>(std::ceil(crossings[i].first - 0.5));
            const LONG right = static_cast<LONG>(std::ceil(crossings[i + 1].first - 0.5));
            if (left < right) spans.push_back(Span{left, right});
        }
        bands.Add(y, y + 1, MergeSpans(std::move(spans)));
    }
    region = bands.Rects();
    return true;
}

}  // namespace xlplatform::engine
