#include "job/accounting/born_on_date.h"

#include <cstdio>

#include "job/accounting/accounting_lines.h"
#include "job/pjl/pjl_lines.h"

namespace xlr {

std::string BornOnDateLine(const SYSTEMTIME& submitted) {
    // The device-management record: its header, then the date's characters.
    std::string value = "0400040101020D10100115";
    for (char c : AccountingTimeText(submitted)) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
        value += hex;
    }
    return QuotedPjlLine("@PJL DMINFO ASCIIHEX=", value);
}

}  // namespace xlr
