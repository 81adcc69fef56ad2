// Raster images as Unidrv's drawing sends them: 24-bit RGB or 1-bit indexed
// with a two-colour palette, placed at a device position and scaled by the
// printer to a destination size, in blocks of rows that each go out
// uncompressed or run-length encoded, whichever is shorter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include <winddi.h>

#include "host/drawing/output/colors.h"
#include "pclxl/stream.h"

namespace xlhost {

enum class RasterFormat { Rgb24, Indexed1 };

// PCL XL sizes of images are 16-bit.
constexpr uint32_t kMaxImageSide = 65535;

struct RasterImage {
    RasterFormat format = RasterFormat::Rgb24;
    uint32_t width = 0;  // source pixels
    uint32_t height = 0;
    LONG x = 0;  // device position of the top-left corner
    LONG y = 0;
    uint32_t destWidth = 0;  // device pixels the image covers
    uint32_t destHeight = 0;
    std::array<Rgb, 2> palette{};  // Indexed1: the colours of 0 and 1
    std::optional<Rgb> brush;      // set after the colour space, for ROPs that use a pattern
};

// The bytes of one row without padding: 3 per pixel (R, G, B), or 1 bit per pixel
// with the leftmost pixel in the high bit.
size_t RowBytes(RasterFormat format, uint32_t width);

// Fills image row `y` (RowBytes bytes, zeroed beforehand). Rows are asked for from
// the top, each once.
using RowSource = std::function<void(uint32_t y, uint8_t* row)>;

// SetColorSpace (with the palette for Indexed1), SetBrushSource when a brush is
// given, SetCursor, BeginImage, ReadImage blocks with their data, EndImage.
// Nothing is written and false returned when a size is 0 or above kMaxImageSide,
// or the position lies outside what PCL XL addresses.
bool WriteRasterImage(xlr::XLStream* stream, const RasterImage& image, const RowSource& rows);

// Fills the RGB row and the mask row (1 bit per pixel, set where the pixel marks)
// of image row `y`; both zeroed beforehand.
using MaskedRowSource = std::function<void(uint32_t y, uint8_t* rgb, uint8_t* mask)>;

// An RGB image of which only the pixels of its mask mark the page. The mask goes
// first, as a 1-bit image that paints black where it is set and whose white is
// transparent; then the image is ORed onto the page, black where the mask is
// clear, which leaves the page there as it was. Sets the ROP and the source
// transparency itself; the image's format must be Rgb24.
bool WriteMaskedImage(xlr::XLStream* stream, const RasterImage& image, const MaskedRowSource& rows);

}  // namespace xlhost
