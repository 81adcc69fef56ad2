// The job header's one-value PJL lines: manual duplex, the media width sensor,
// multi-page mode, planes in use, content orientation, image shift, processing
// adjustment and separator pages. Each composer takes plain values and returns
// the text to send.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace xlr {

std::string ManualDuplexLine();
// ON only when the sensor is wanted ("True") and the paper is wider than
// 215.9 mm (widths in tenths of a millimetre).
std::string MediaWidthSensorLine(bool sensorOption, int32_t paperWidth);
// TRUE when any multi-page flag is set.
std::string MultiPageLine(int32_t speedMechFlags);
std::string PlanesInUseLine();

// The orientation of the content on the sheet: two and six pages a sheet turn
// the page, so a portrait job prints landscape content and the reverse.
struct ContentOrientation {
    std::string line;
    uint16_t value = 0;  // 0 unknown, 1 portrait, 2 landscape
};
ContentOrientation ComposeContentOrientation(int16_t dmOrientation, uint32_t pagesPerSheetChoice);

struct ImageShiftValues {
    uint32_t frontEnabled = 0;
    uint32_t backEnabled = 0;
    uint32_t reduceToFit = 0;
    float frontX = 0, frontY = 0, backX = 0, backY = 0;
};
// The front, back and reduce-to-fit lines, in that order. Shifts go out in
// thousandths.
std::string ImageShiftBlock(const ImageShiftValues& values);

// The two PROCESSINGADJUSTMENT lines (FLD01, FLD02). Values are scaled by 250
// in the fine mode and by 10 otherwise and sent as whole numbers, truncated.
std::array<std::string, 2> ProcessingAdjustmentLines(uint32_t fineMode, float field1, float field2);

std::string SeparatorPageLine(uint32_t separatorPage);

// A stored real times a factor, truncated toward zero; a value that is not a
// number counts as 0 and the result is held to the range of a 32-bit integer.
int32_t ScaledWhole(float value, float factor);

}  // namespace xlr
