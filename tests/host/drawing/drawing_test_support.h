// For the tests of Unidrv's drawing functions: a page surface whose device
// collects its spool writes, and a reader that turns those bytes back into
// decoded images, with the graphics state each image was drawn in.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <winddi.h>

#include "support/fake_unidrv.h"
#include "support/spooled_operators.h"
#include "support/test_images.h"

namespace drawingtest {

using xltest::AttributeValue;
using xltest::Bitmap;
using xltest::Operator;
using xltest::SpooledOperators;

// One raster image as the printer receives it, with the state it is drawn in.
struct DecodedImage {
    int cursorX = 0;
    int cursorY = 0;
    std::vector<uint8_t> palette;               // PaletteData of the colour space, if any
    std::optional<std::vector<uint8_t>> brush;  // RGBColor of the last SetBrushSource
    unsigned rop3 = 0;
    unsigned sourceTxMode = 0;
    unsigned mapping = 0;
    unsigned depth = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned destWidth = 0;
    unsigned destHeight = 0;
    std::vector<unsigned> compressions;      // CompressMode of each ReadImage
    std::vector<std::vector<uint8_t>> rows;  // each row without its padding

    // 0x00RRGGBB of a direct 24-bit pixel.
    uint32_t Rgb(unsigned x, unsigned y) const;
    // An indexed 1-bit pixel.
    bool Bit(unsigned x, unsigned y) const;
    unsigned SetBits() const;
};

// A device page of `width` x `height` pixels (a 24-bit device surface).
class DrawingPage {
  public:
    DrawingPage(LONG width = 800, LONG height = 600);
    DrawingPage(const DrawingPage&) = delete;
    DrawingPage& operator=(const DrawingPage&) = delete;

    SURFOBJ* Surface() { return &surface_; }
    const std::string& Spooled() const { return device_.helper.spooled; }
    void Clear() { device_.helper.spooled.clear(); }
    void FailSpoolWrites() { device_.helper.failSpoolWrites = true; }
    // The operators written so far, which must read and open with PushGS,
    // close with PopGS and balance in between.
    SpooledOperators Operators() const;
    // Every image of them, decoded; malformed image data fails the test.
    std::vector<DecodedImage> Images() const;
    // The one image there must be (an empty one when there is not).
    DecodedImage Image() const;

  private:
    xltest::FakeDevice device_;
    SURFOBJ surface_{};
};

// PackBits decoding, written apart from the encoder it checks. Nothing for
// data that runs short.
std::optional<std::vector<uint8_t>> UnpackBits(const uint8_t* data, size_t size);

// Expects `call` to return FALSE with `error` as the last error, and to spool nothing.
void ExpectFailsCleanly(DrawingPage& page, const char* name, DWORD error,
                        const std::function<BOOL()>& call);

}  // namespace drawingtest
