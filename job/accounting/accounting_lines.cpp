#include "job/accounting/accounting_lines.h"

#include <cstdio>

#include "job/pjl/pjl_lines.h"
#include "job/pjl/text_cleaning.h"

namespace xlr {
namespace {

// The attribute's name and its value share one pair of quotes: "JobAcct1=ALICE".
std::string AttributeLine(int number, std::string_view value) {
    return QuotedPjlLine("@PJL SET JOBATTR=",
                         "JobAcct" + std::to_string(number) + "=" + SafePjlValue(value));
}

std::string FirstFiveLines(const AccountingValues& values) {
    return AttributeLine(1, values.user) + AttributeLine(2, values.machine) +
           AttributeLine(3, values.domain) + AttributeLine(4, values.time) +
           AttributeLine(5, values.jobId);
}

std::string TimestampLine(const AccountingValues& values) {
    return QuotedPjlLine("@PJL SET TIMESTAMP=", SafePjlValue(values.time));
}

std::string ApplicationLines(const AccountingValues& values) {
    std::string lines = AttributeLine(6, values.application);
    if (values.programFile) lines += AttributeLine(7, *values.programFile);
    lines += AttributeLine(8, values.account);
    lines += AttributeLine(9, "");
    return lines;
}

std::string GroupLines(const AccountingValues& values) {
    std::string lines;
    int number = 0;
    for (const WideString* list : {&values.groups1, &values.groups2}) {
        WideStringView rest = *list;
        while (!rest.empty()) {
            const size_t end = rest.find(WSTR(';'));
            const WideStringView name = rest.substr(0, end);
            rest = end == WideStringView::npos ? WideStringView() : rest.substr(end + 1);
            if (name.empty()) continue;
            const std::optional<std::string> utf8 = ToCodePage(name, CP_UTF8);
            if (!utf8) continue;
            lines += QuotedPjlLine("@PJL SET GROUP" + std::to_string(++number) + "=",
                                   SafePjlValue(*utf8));
        }
    }
    return lines;
}

}  // namespace

std::string ComposeAccountingLines(uint32_t mode, const AccountingValues& values) {
    switch (mode) {
        case kAccountingJobAccount:
            return FirstFiveLines(values);
        case kAccountingTimestamp:
            return TimestampLine(values) + AttributeLine(5, values.jobId);
        case kAccountingJobAccountTimestamp:
            return FirstFiveLines(values) + TimestampLine(values);
        case kAccountingColorAuthorization:
            return FirstFiveLines(values) + ApplicationLines(values);
        case kAccountingGroupName:
            return FirstFiveLines(values) + ApplicationLines(values) + GroupLines(values);
        default:
            return {};
    }
}

std::string AccountingTimeText(const SYSTEMTIME& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%u%02u%02u%02u%02u%02u", time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, time.wSecond);
    return text;
}

}  // namespace xlr
