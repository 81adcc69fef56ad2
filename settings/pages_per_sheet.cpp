#include "settings/pages_per_sheet.h"

namespace xlr {

uint32_t PagesPerSheet(uint32_t choice) {
    constexpr uint32_t kCounts[] = {1, 1, 2, 4, 6, 9, 16, 16};
    return choice < std::size(kCounts) ? kCounts[choice] : 1;
}

uint32_t LogicalPageCount(const SettingsRecord& settings, const DEVMODEW& devmode,
                          int32_t mediaManualDuplex) {
    if (settings.simplexOnly != 0 && devmode.dmDuplex == DMDUP_SIMPLEX &&
        settings.manualDuplex == 0 && mediaManualDuplex == 0)
        return 1;
    return PagesPerSheet(settings);
}

}  // namespace xlr
