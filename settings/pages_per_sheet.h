// Pages per sheet: the settings record's choice as a count of logical pages.
#pragma once

#include <iterator>

#include <windows.h>

#include "settings/settings_record.h"

namespace xlr {

// 2 → 2, 3 → 4, 4 → 6, 5 → 9, 6 and 7 → 16, every other choice → 1.
uint32_t PagesPerSheet(uint32_t choice);
inline uint32_t PagesPerSheet(const SettingsRecord& settings) {
    return PagesPerSheet(settings.pagesPerSheet);
}

// The logical pages of a sheet: PagesPerSheet, but 1 for a layout meant for one
// side (the simplex-only value) when the job is printed on one side after all.
uint32_t LogicalPageCount(const SettingsRecord& settings, const DEVMODEW& devmode,
                          int32_t mediaManualDuplex);

}  // namespace xlr
