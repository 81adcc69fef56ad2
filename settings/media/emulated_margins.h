// Emulated margins: the physical page offset of another printer model, read
// per paper size from the XML configuration's "KX_Emulate_Margins" feature.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

class CKXXmlConfig;

// The case name of a paper: width and length in millimetres with two decimals,
// "210.00x297.00" (the device mode's sizes are tenths of a millimetre).
WideString MarginCaseName(const DEVMODEW& devmode);

// The four margins of a data text, in 1/1200 inch: portrait x and y, then
// landscape x and y, separated by "_" or blanks. Nothing unless there are
// exactly four whole numbers from 0 to 120,000 (100 inches).
std::optional<std::array<LONG, 4>> ParseMarginData(WideStringView data);

// The offset in device pixels: portrait takes the first pair at the horizontal
// and vertical resolutions, any other orientation the second pair at the
// vertical and horizontal ones.
POINTL MarginOffset(const std::array<LONG, 4>& margins, short orientation, LONG xResolution,
                    LONG yResolution);

// The offset for the device mode's paper from the configuration; nothing when
// it has no margins for that paper.
std::optional<POINTL> EmulatedPageOffset(const CKXXmlConfig& config, const DEVMODEW& devmode,
                                         LONG xResolution, LONG yResolution);

}  // namespace xlr
