#include "host/player/device_calls.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace xlhost {
namespace {

// Device coordinates stay well inside what 28.4 fixed point holds.
constexpr double kDeviceLimit = double(1 << 26);

struct UnitScale {
    Units units;
    double perInch;  // units per inch; 0 for device pixels
};
constexpr UnitScale kUnitScales[] = {
    {Units::Pixels, 0}, {Units::Points, 72}, {Units::Millimetres, 25.4}, {Units::Inches, 1}};

RECTL Normalized(const RECTL& r) {
    return RECTL{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom)};
}

RECTL Intersect(const RECTL& a, const RECTL& b) {
    return RECTL{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECTL& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

std::string SizeText(LONG width, LONG height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Turns script coordinates into device pixels of the sheet, checking the range.
class Mapper {
  public:
    Mapper(const DeviceMapping& mapping, std::string place)
        : m_(mapping), place_(std::move(place)) {}

    // A logical page's device coordinate (fitted images) onto the sheet.
    double SheetX(double x) const { return m_.slot.offsetX + m_.slot.scale * x; }
    double SheetY(double y) const { return m_.slot.offsetY + m_.slot.scale * y; }
    double UnitX(double x) const { return SheetX(x * m_.pixelsPerUnit); }
    double UnitY(double y) const { return SheetY(y * m_.pixelsPerUnit); }

    LONG Pixel(double value) {
        if (!std::isfinite(value) || std::fabs(value) > kDeviceLimit) {
            ok_ = false;
            return 0;
        }
        return static_cast<LONG>(std::lround(value));
    }
    FIX Fixed(double value) {
        if (!std::isfinite(value) || std::fabs(value) > kDeviceLimit) {
            ok_ = false;
            return 0;
        }
        return static_cast<FIX>(std::lround(value * 16));
    }
    RECTL Rect(const xlhost::Rect& r) {
        return RECTL{Pixel(UnitX(r.left)), Pixel(UnitY(r.top)), Pixel(UnitX(r.right)),
                     Pixel(UnitY(r.bottom))};
    }
    POINTFIX Point(const xlhost::Point& p) {
        return POINTFIX{Fixed(UnitX(p.x)), Fixed(UnitY(p.y))};
    }
    double Length(double units) const { return units * m_.pixelsPerUnit * m_.slot.scale; }

    bool Check(std::string& error) const {
        if (!ok_) error = place_ + ": coordinates beyond the device's range";
        return ok_;
    }
    const DeviceMapping& mapping() const { return m_; }

  private:
    const DeviceMapping& m_;
    std::string place_;
    bool ok_ = true;
};

RECTL BoundsOf(const std::vector<POINTFIX>& points, LONG grow) {
    constexpr LONG kMax = std::numeric_limits<LONG>::max();
    constexpr LONG kMin = std::numeric_limits<LONG>::min();
    RECTL bounds{kMax, kMax, kMin, kMin};
    for (const POINTFIX& p : points) {
        bounds.left = std::min<LONG>(bounds.left, (p.x >> 4) - grow);
        bounds.top = std::min<LONG>(bounds.top, (p.y >> 4) - grow);
        bounds.right = std::max<LONG>(bounds.right, ((p.x + 15) >> 4) + 1 + grow);
        bounds.bottom = std::max<LONG>(bounds.bottom, ((p.y + 15) >> 4) + 1 + grow);
    }
    return bounds;
}

std::array<POINTFIX, 3> CornersOf(Mapper& map, const RECTL& r) {
    auto fix = [&](LONG v) { return map.Fixed(v); };
    return {POINTFIX{fix(r.left), fix(r.top)}, POINTFIX{fix(r.right), fix(r.top)},
            POINTFIX{fix(r.left), fix(r.bottom)}};
}

bool ResolveImage(const Document& document, const ImageCall& call, Mapper& map,
                  PlayerImages& images, DeviceCall& out, std::string& error) {
    DeviceImage device;
    device.image = images.Find(document, call.file);
    if (device.image == nullptr) {
        error = out.place + ": the image was not loaded";
        return false;
    }
    const ImageSource& source = device.image->source;
    device.passThrough = WantsPassThrough(document, call, source.format);
    const LONG imageWidth = static_cast<LONG>(source.width);
    const LONG imageHeight = static_cast<LONG>(source.height);
    device.declaredSize = call.declaredSize.value_or(SIZEL{imageWidth, imageHeight});
    const SIZEL space = device.passThrough ? device.declaredSize : SIZEL{imageWidth, imageHeight};
    device.source = call.source.value_or(RECTL{0, 0, space.cx, space.cy});
    if (device.source.right > space.cx || device.source.bottom > space.cy) {
        error = out.place + ".source: outside the " + SizeText(space.cx, space.cy) + " image";
        return false;
    }
    const LONG sourceWidth = device.source.right - device.source.left;
    const LONG sourceHeight = device.source.bottom - device.source.top;
    if (call.bands > sourceHeight) {
        error = out.place + ".bands: " + std::to_string(call.bands) + " bands of " +
                std::to_string(sourceHeight) + " rows";
        return false;
    }
    device.bands = call.bands;
    device.rop4 = call.rop4;
    device.brush = call.brush;
    device.stretchMode = call.stretchMode;

    if (call.fit) {
        const RECTL& area = map.mapping().printable;
        const double areaWidth = double(area.right) - area.left;
        const double areaHeight = double(area.bottom) - area.top;
        const double scale = std::min(areaWidth / sourceWidth, areaHeight / sourceHeight);
        const double width = sourceWidth * scale;
        const double height = sourceHeight * scale;
        const double left = area.left + (areaWidth - width) / 2;
        const double top = area.top + (areaHeight - height) / 2;
        device.destination =
            RECTL{map.Pixel(map.SheetX(left)), map.Pixel(map.SheetY(top)),
                  map.Pixel(map.SheetX(left + width)), map.Pixel(map.SheetY(top + height))};
    } else if (call.destination) {
        device.destination = map.Rect(*call.destination);
    }
    if (call.parallelogram) {
        for (size_t i = 0; i < 3; ++i)
            device.parallelogram[i] = map.Point((*call.parallelogram)[i]);
    } else {
        device.parallelogram = CornersOf(map, device.destination);
    }
    if (!map.Check(error)) return false;

    const RECTL dest = Normalized(device.destination);
    const bool sameSize =
        dest.right - dest.left == sourceWidth && dest.bottom - dest.top == sourceHeight;
    device.hook = call.hook;
    if (device.hook == BlitHook::Auto) {
        if (call.parallelogram) {
            device.hook = BlitHook::PlgBlt;
        } else if (sameSize) {
            device.hook = BlitHook::BitBlt;
        } else {
            device.hook =
                device.rop4 == kRopSrcCopy ? BlitHook::StretchBlt : BlitHook::StretchBltROP;
        }
    }
    if ((device.hook == BlitHook::BitBlt || device.hook == BlitHook::CopyBits) && !sameSize) {
        error = out.place + ": " + (device.hook == BlitHook::BitBlt ? "bitblt" : "copybits") +
                " copies without scaling, but the destination is " +
                SizeText(dest.right - dest.left, dest.bottom - dest.top) +
                " device pixels and the source " + SizeText(sourceWidth, sourceHeight);
        return false;
    }
    out.bounds =
        device.hook == BlitHook::PlgBlt
            ? BoundsOf({device.parallelogram[0], device.parallelogram[1], device.parallelogram[2],
                        POINTFIX{device.parallelogram[1].x + device.parallelogram[2].x -
                                     device.parallelogram[0].x,
                                 device.parallelogram[1].y + device.parallelogram[2].y -
                                     device.parallelogram[0].y}},
                       0)
            : dest;
    out.what = device;
    return true;
}

bool ResolveFill(const FillCall& call, Mapper& map, DeviceCall& out, std::string& error) {
    DeviceFill device;
    device.color = call.color;
    device.winding = call.winding;
    if (call.rect) {
        device.rect = Normalized(map.Rect(*call.rect));
        out.bounds = *device.rect;
    } else {
        for (const Point& p : call.polygon) device.polygon.push_back(map.Point(p));
        out.bounds = BoundsOf(device.polygon, 0);
    }
    out.what = device;
    return map.Check(error);
}

bool ResolveLine(const LineCall& call, Mapper& map, DeviceCall& out, std::string& error) {
    DeviceLine device;
    device.color = call.color;
    if (call.width > 0) device.width = std::max<LONG>(1, map.Pixel(map.Length(call.width)));
    for (const Point& p : call.points) device.points.push_back(map.Point(p));
    out.bounds = BoundsOf(device.points, device.width / 2 + 1);
    out.what = device;
    return map.Check(error);
}

bool ResolveText(const TextCall& call, Mapper& map, DeviceCall& out, std::string& error) {
    DeviceText device;
    device.text = call.text;
    device.font = call.font;
    device.color = call.color;
    device.background = call.background;
    device.pixelHeight = std::max<LONG>(
        1, map.Pixel(call.size * map.mapping().pixelsPerPoint * map.mapping().slot.scale));
    device.origin =
        POINTL{map.Pixel(map.UnitX(call.position.x)), map.Pixel(map.UnitY(call.position.y))};
    out.what = device;
    return map.Check(error);
}

}  // namespace

DeviceMapping MappingFor(const Document& document, LONG resolution, const RECTL& printable,
                         const std::optional<RECTL>& slotBox) {
    DeviceMapping mapping;
    for (const UnitScale& scale : kUnitScales)
        if (scale.units == document.units)
            mapping.pixelsPerUnit = scale.perInch == 0 ? 1 : resolution / scale.perInch;
    mapping.pixelsPerPoint = resolution / 72.0;
    mapping.printable = printable;
    if (slotBox) {
        mapping.slot = FitPageIntoSlot(printable, *slotBox);
        mapping.slotClip = slotBox;
    }
    return mapping;
}

bool ResolvePage(const Document& document, const Page& page, const DeviceMapping& mapping,
                 PlayerImages& images, std::vector<DeviceCall>& calls, std::string& error) {
    for (const PageCall& call : page.calls) {
        DeviceCall device;
        device.place = call.place;
        Mapper map(mapping, call.place);
        bool ok = false;
        if (const auto* image = std::get_if<ImageCall>(&call.what))
            ok = ResolveImage(document, *image, map, images, device, error);
        if (const auto* fill = std::get_if<FillCall>(&call.what))
            ok = ResolveFill(*fill, map, device, error);
        if (const auto* line = std::get_if<LineCall>(&call.what))
            ok = ResolveLine(*line, map, device, error);
        if (const auto* text = std::get_if<TextCall>(&call.what))
            ok = ResolveText(*text, map, device, error);
        if (!ok) return false;
        if (!call.clip.empty() || mapping.slotClip) {
            std::vector<RECTL> clip;
            for (const Rect& r : call.clip) {
                RECTL rect = Normalized(map.Rect(r));
                if (mapping.slotClip) rect = Intersect(rect, *mapping.slotClip);
                if (!IsEmpty(rect)) clip.push_back(rect);
            }
            if (call.clip.empty()) clip.push_back(*mapping.slotClip);
            if (!map.Check(error)) return false;
            device.clip = std::move(clip);
        }
        calls.push_back(std::move(device));
    }
    return true;
}

}  // namespace xlhost
