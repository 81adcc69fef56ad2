#include "settings/paper_region.h"

#include <windows.h>

namespace xlr {

uint32_t DefaultPaperRegion() {
    WCHAR text[16] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, text, 16) <= 0)
        return kPaperRegionMetric;
    // The country field is a decimal number; anything else fails the conversion.
    long code = 0;
    int digits = 0;
    for (const WCHAR* p = text; *p != 0; ++p, ++digits) {
        if (*p < u'0' || *p > u'9' || digits >= 6) return kPaperRegionMetric;
        code = code * 10 + (*p - u'0');
    }
    if (digits == 0) return kPaperRegionMetric;
    const bool letter = code <= 2 || (code >= 50 && code <= 59) || (code >= 500 && code <= 599);
    return letter ? kPaperRegionLetter : kPaperRegionMetric;
}

}  // namespace xlr
