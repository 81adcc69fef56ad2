// The spooler's record of the job being printed (level 2): who sent it, from
// which computer, under which document name and when.
#pragma once

#include <optional>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

struct JobRecord {
    WideString printerName;
    WideString machineName;  // "\\PC7", as the spooler names the client
    WideString userName;
    WideString document;
    SYSTEMTIME submitted{};  // UTC
};

// The record of job `jobId`, or nothing when the spooler cannot give it. The
// user name is the one kxmnwun.ini names (IniUserName) when it names one:
// sites whose print server sees a service account set the real user there.
std::optional<JobRecord> ReadJobRecord(HANDLE printer, DWORD jobId);

// The NWUSERNAME entry of kxmnwun.ini in the Windows directory (at most 127
// characters); empty when the file or the entry is missing.
WideString IniUserName();

// The submission time in the user's time zone; nothing when it cannot be
// converted.
std::optional<SYSTEMTIME> LocalSubmissionTime(const JobRecord& job);

}  // namespace xlr
