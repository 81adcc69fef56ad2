// The arithmetic of a watermark: its size on a sheet of several logical pages,
// its angle, and where its text starts and which characters fall in the slot.
// All conversions of reals to integers truncate toward zero.
#pragma once

#include <cstdint>
#include <vector>

namespace xlr {

constexpr short kPortrait = 1;

// A rectangle as the watermark escape gives it: left, top, right, bottom.
struct WatermarkBox {
    int32_t left, top, right, bottom;
};

struct WatermarkPoint {
    int32_t x, y;
};

// The margin that logical pages keep on a sheet of n pages: 0.085 for 2 and 6,
// 0.04 for 4, 9 and 16, none for one.
double SheetMargin(uint32_t pagesPerSheet);

// How much smaller a watermark is on a sheet of n logical pages than on a whole
// sheet: the mean of (left/√n + right − left)/right − m and the same down the
// frame. 1 for one page, and for a frame without extent (it cannot be divided by).
double SheetSizeFactor(const WatermarkBox& frame, uint32_t pagesPerSheet);

// The orientations that turn a watermark (1 portrait, 2 landscape).
struct AngleInputs {
    int32_t angle;       // the settings' fixed angle, degrees
    int32_t angleMode;   // 0 along the frame's diagonal; 2 fixed but mirrored right to left
    WatermarkBox frame;  // the sheet's printable frame
    bool rightToLeftUi;  // the user interface reads right to left (Arabic, Hebrew)
    uint32_t pagesPerSheet;
    int32_t turnedPages;  // non-zero: logical pages are turned on the sheet
    short slot;           // the logical page's orientation
    short device;         // the public device mode's orientation
    short settings;       // the settings record's orientation
};

// The watermark's angle in degrees, counter-clockwise; not brought into 0-360.
float WatermarkAngleOf(const AngleInputs& in);

// The angle brought to at most 360 by steps of 360.
float AngleUpTo360(float angle);

// The centre of a slot's box, whose width and height are first scaled by
// `scale` when it is not 1.
WatermarkPoint SlotCentre(const WatermarkBox& box, double scale);

// The box with every coordinate multiplied by `scale` (unchanged when it is 1).
WatermarkBox ScaledBox(const WatermarkBox& box, double scale);

// Where a text whose extent is width × height starts so that it lies across
// the centre at `angle`; the divisors of the half-diagonal's angle follow the
// angle and the number of pages (see the source).
WatermarkPoint TextStart(WatermarkPoint centre, int32_t width, int32_t height, float angle,
                         uint32_t pagesPerSheet);

// One character on its way along the text.
struct CharacterStep {
    int16_t xSpacing, ySpacing;  // the advance along the angle
    int16_t xHeight, yHeight;    // the height, laid along the angle likewise
};

// The advance and height vectors of a character `advance` wide and `height`
// high at `angle`.
CharacterStep CharacterStepOf(int32_t advance, int32_t height, float angle);

// Whether a corner of the character's cell (its position, plus its spacing,
// plus its height vector, plus both) lies inside the box.
bool CellTouchesBox(WatermarkPoint at, const CharacterStep& step, const WatermarkBox& box);

}  // namespace xlr
