// The job-notification file: an INI file in the printer-driver directory that
// a status monitor reads to tell which user, domain and job identifier belong
// to a spooler job from a client machine.
#pragma once

#include <windows.h>

#include "job/accounting/accounting_lines.h"
#include "settings/wide_text.h"

namespace xlr {

// The section of a job: "<machine>-<job number>".
WideString NotificationSection(WideStringView machine, DWORD jobId);

// Writes the job's section of kxmssnp.job when notifications are enabled for
// the printer (printer data SSNPNotifyEventSetting is the DWORD 1) and not
// switched off for the machine (SSNPDisableAll). For a client machine, the
// section of the same machine's job two numbers back is removed.
void UpdateJobNotification(HANDLE printer, DWORD jobId, const AccountingValues& values);

}  // namespace xlr
