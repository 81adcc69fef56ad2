// The graphics engine tests draw on the shared test bitmaps (made, locked and
// freed by RAII, 24-bit pixels read and written as 0x00RRGGBB).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include <winddi.h>
#include <xlplatform/engine.h>

#include "support/test_images.h"

namespace enginetest {

using xltest::Bitmap;

inline std::vector<ULONG> Pixels(const SURFOBJ* so) {
    return xltest::PixelsOf(so);
}

// Grey levels as 24-bit colours.
inline ULONG Grey(BYTE v) {
    return ULONG{v} * 0x010101;
}

}  // namespace enginetest
