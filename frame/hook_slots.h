// The plug-in's 21 graphics hooks: slot numbers (also the slots of
// PluginDeviceState::unidrvHooks) and the graphics engine's function index of each.
#pragma once

#include <array>

#include <windef.h>

namespace xlr {

enum HookSlot : int {
    kSlotCopyBits = 0,
    kSlotBitBlt = 1,
    kSlotStretchBlt = 2,
    kSlotStretchBltROP = 3,
    kSlotTransparentBlt = 4,
    kSlotAlphaBlend = 5,
    kSlotGradientFill = 6,
    kSlotTextOut = 7,
    kSlotStartPage = 8,
    kSlotSendPage = 9,
    kSlotEscape = 10,
    kSlotStartDoc = 11,
    kSlotEndDoc = 12,
    kSlotNextBand = 13,
    kSlotStartBanding = 14,
    kSlotPlgBlt = 15,
    kSlotLineTo = 16,
    kSlotStrokePath = 17,
    kSlotFillPath = 18,
    kSlotStrokeAndFillPath = 19,
    kSlotQueryDeviceSupport = 20,
};

// DDI function index of each slot (INDEX_DrvCopyBits is 19, and so on).
inline constexpr std::array<ULONG, 21> kHookFunctionIndex = {19, 18, 20, 69, 74, 71, 68, 23, 33, 32, 24,
                                                            35, 34, 58, 57, 70, 31, 14, 15, 16, 76};

}  // namespace xlr
