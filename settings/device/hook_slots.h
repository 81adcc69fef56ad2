// The plug-in's 21 graphics hooks: slot numbers (also the slots of
// PluginDeviceState::unidrvHooks) and the graphics engine's function index of each.
#pragma once

#include <array>

#include <winddi.h>

namespace xlr {

constexpr int kHookCount = 21;

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

// The graphics engine's function index of each slot.
inline constexpr std::array<ULONG, kHookCount> kHookFunctionIndex = {
    INDEX_DrvCopyBits,
    INDEX_DrvBitBlt,
    INDEX_DrvStretchBlt,
    INDEX_DrvStretchBltROP,
    INDEX_DrvTransparentBlt,
    INDEX_DrvAlphaBlend,
    INDEX_DrvGradientFill,
    INDEX_DrvTextOut,
    INDEX_DrvStartPage,
    INDEX_DrvSendPage,
    INDEX_DrvEscape,
    INDEX_DrvStartDoc,
    INDEX_DrvEndDoc,
    INDEX_DrvNextBand,
    INDEX_DrvStartBanding,
    INDEX_DrvPlgBlt,
    INDEX_DrvLineTo,
    INDEX_DrvStrokePath,
    INDEX_DrvFillPath,
    INDEX_DrvStrokeAndFillPath,
    INDEX_DrvQueryDeviceSupport,
};

}  // namespace xlr
