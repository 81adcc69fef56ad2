// The default paper family from the user's locale.
#pragma once

#include <cstdint>

namespace xlr {

constexpr uint32_t kPaperRegionLetter = 0;
constexpr uint32_t kPaperRegionMetric = 1;

// Letter sizes for the country codes 0-2, 50-59 and 500-599 (North and Latin
// America); metric sizes for every other code and whenever the lookup fails.
uint32_t DefaultPaperRegion();

}  // namespace xlr
