// A page's calls in device pixels of the sheet, checked against the images
// they draw: what the player issues for each band. Made before the document
// starts, so that a script whose geometry does not fit fails before any output.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <winddi.h>

#include "host/player/document.h"
#include "host/player/nup_layout.h"
#include "host/player/player_images.h"

namespace xlhost {

struct DeviceImage {
    PlayerImage* image = nullptr;
    bool passThrough = false;                 // wanted; a PNG still needs the device's consent
    BlitHook hook = BlitHook::StretchBlt;     // never Auto
    RECTL destination{};                      // as given: may be inverted (a mirrored stretch)
    std::array<POINTFIX, 3> parallelogram{};  // plgblt
    RECTL source{};  // in the image's pixels, or the declared size's when passed through
    SIZEL declaredSize{};
    ULONG rop4 = kRopSrcCopy;
    std::optional<Color> brush;
    ULONG stretchMode = COLORONCOLOR;
    int32_t bands = 1;
};

struct DeviceFill {
    std::optional<RECTL> rect;
    std::vector<POINTFIX> polygon;
    bool winding = false;
    Color color = 0;
};

struct DeviceLine {
    std::vector<POINTFIX> points;
    LONG width = 0;  // 0: cosmetic
    Color color = 0;
};

struct DeviceText {
    std::u16string text;
    std::string font;
    LONG pixelHeight = 0;
    POINTL origin{};
    Color color = 0;
    std::optional<Color> background;
};

struct DeviceCall {
    std::variant<DeviceImage, DeviceFill, DeviceLine, DeviceText> what;
    std::optional<std::vector<RECTL>> clip;  // none: the call is not clipped
    RECTL bounds{};  // what the call may touch (text: known once it is laid out)
    std::string place;
};

// How the script's coordinates become device pixels of the sheet.
struct DeviceMapping {
    double pixelsPerUnit = 1;       // from Document::units and the resolution
    double pixelsPerPoint = 1;      // for text sizes
    SlotTransform slot;             // the logical page's place on the sheet
    std::optional<RECTL> slotClip;  // with several pages per sheet: the slot's box
    RECTL printable{};              // of the logical page, for fitted images
};

DeviceMapping MappingFor(const Document& document, LONG resolution, const RECTL& printable,
                         const std::optional<RECTL>& slotBox);

// The calls of one page; false with `error` naming the call for geometry that
// cannot be drawn (a source outside its image, an unscaled blit whose sizes
// differ, more bands than rows, coordinates beyond the device's range).
bool ResolvePage(const Document& document, const Page& page, const DeviceMapping& mapping,
                 PlayerImages& images, std::vector<DeviceCall>& calls, std::string& error);

}  // namespace xlhost
