#include "job/header/device_lines.h"

#include <cmath>
#include <limits>

#include <windows.h>

#include "settings/pages_per_sheet.h"

namespace xlr {
namespace {

constexpr int32_t kWidestPaperWithoutSensor = 2159;  // tenths of a millimetre: Letter width
constexpr float kShiftScale = 1000.0f;
constexpr float kFineAdjustmentScale = 250.0f;
constexpr float kCoarseAdjustmentScale = 10.0f;

// A side is shifted when it is enabled and one of its stored shifts is not 0.
std::string ShiftSide(const char* side, uint32_t enabled, float x, float y) {
    const std::string prefix = std::string("@PJL SET IMAGESHIFT") + side;
    if (enabled == 0 || (x == 0.0f && y == 0.0f)) return prefix + " = OFF\n";
    std::string lines = prefix + " = ON\n";
    if (x != 0.0f) lines += prefix + "X= " + std::to_string(ScaledWhole(x, kShiftScale)) + "\n";
    if (y != 0.0f) lines += prefix + "Y= " + std::to_string(ScaledWhole(y, kShiftScale)) + "\n";
    return lines;
}

std::string AdjustmentLine(int field, float value, float scale) {
    const float product = std::isfinite(value) ? value * scale : 0.0f;
    std::string line = "@PJL SET PROCESSINGADJUSTMENT=\"FLD0" + std::to_string(field) + ":";
    if (product >= 0.0f) line += '+';
    line += std::to_string(ScaledWhole(value, scale));
    line += "\"\n";
    return line;
}

}  // namespace

int32_t ScaledWhole(float value, float factor) {
    const float product = value * factor;
    if (std::isnan(product)) return 0;
    const double truncated = std::trunc(static_cast<double>(product));  // infinities stay
    if (truncated >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (truncated <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(truncated);
}

std::string ManualDuplexLine() {
    return "@PJL SET MANUALDUPLEX=ON\n";
}

std::string MediaWidthSensorLine(bool sensorOption, int32_t paperWidth) {
    return sensorOption && paperWidth > kWidestPaperWithoutSensor ? "@PJL MEDIAWIDTHSENSOR=ON\n"
                                                                  : "@PJL MEDIAWIDTHSENSOR=OFF\n";
}

std::string MultiPageLine(int32_t speedMechFlags) {
    return speedMechFlags != 0 ? "@PJL SET MULTIPAGE=TRUE\n" : "@PJL SET MULTIPAGE=FALSE\n";
}

std::string PlanesInUseLine() {
    return "@PJL SET PLANESINUSE=1\n";
}

ContentOrientation ComposeContentOrientation(int16_t dmOrientation, uint32_t pagesPerSheetChoice) {
    const uint32_t pages = PagesPerSheet(pagesPerSheetChoice);
    const bool turned = pages == 2 || pages == 6;
    ContentOrientation result;
    if (dmOrientation == DMORIENT_PORTRAIT)
        result.value = turned ? 2 : 1;
    else if (dmOrientation == DMORIENT_LANDSCAPE)
        result.value = turned ? 1 : 2;
    result.line = "@PJL SET CONTENTORIENTATION=";
    if (result.value == 1) result.line += "PORTRAIT";
    if (result.value == 2) result.line += "LANDSCAPE";
    result.line += '\n';
    return result;
}

std::string ImageShiftBlock(const ImageShiftValues& values) {
    std::string block = ShiftSide("FRONT", values.frontEnabled, values.frontX, values.frontY);
    block += ShiftSide("BACK", values.backEnabled, values.backX, values.backY);
    block += values.reduceToFit != 0 ? "@PJL SET IMAGESHIFTREDUCETOFIT=ON\n"
                                     : "@PJL SET IMAGESHIFTREDUCETOFIT=OFF\n";
    return block;
}

std::array<std::string, 2> ProcessingAdjustmentLines(uint32_t fineMode, float field1,
                                                     float field2) {
    const float scale = fineMode != 0 ? kFineAdjustmentScale : kCoarseAdjustmentScale;
    return {AdjustmentLine(1, field1, scale), AdjustmentLine(2, field2, scale)};
}

std::string SeparatorPageLine(uint32_t separatorPage) {
    return separatorPage != 0 ? "@PJL SET SEPARATORPAGE=ON\n" : "@PJL SET SEPARATORPAGE=OFF\n";
}

}  // namespace xlr
