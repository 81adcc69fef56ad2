// Job-accounting attributes of the job header: who printed (JobAcct1-3), when
// (JobAcct4, TIMESTAMP), a unique identifier for the job (JobAcct5), the
// application and account (JobAcct6-9) and the user's groups.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/wide_text.h"

namespace xlr {

// KXJobAccounting, by its index in the keyword table.
enum JobAccountingMode : uint32_t {
    kAccountingOff = 0,
    kAccountingJobAccount = 1,
    kAccountingTimestamp = 2,
    kAccountingJobAccountTimestamp = 3,
    kAccountingColorAuthorization = 4,
    kAccountingGroupName = 5,
};

// The attribute values, as the lines carry them (UTF-8 or ANSI text).
struct AccountingValues {
    std::string user;                        // JobAcct1
    std::string machine;                     // JobAcct2
    std::string domain;                      // JobAcct3
    std::string time;                        // JobAcct4 and TIMESTAMP: YYYYMMDDhhmmss, local time
    std::string jobId;                       // JobAcct5: a new unique identifier
    std::string application;                 // JobAcct6: the program's description
    std::optional<std::string> programFile;  // JobAcct7: none when the path had no folder
    std::string account;                     // JobAcct8
    WideString groups1;                      // ";"-separated group names
    WideString groups2;
};

// The lines of an accounting mode, in the job header's order. Values are made
// safe for their quotes; empty group names are skipped.
std::string ComposeAccountingLines(uint32_t mode, const AccountingValues& values);

// YYYYMMDDhhmmss: the year as it is, the other fields with two digits.
std::string AccountingTimeText(const SYSTEMTIME& time);

}  // namespace xlr
