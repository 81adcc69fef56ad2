// Who prints: the user names that travel with the job.
#pragma once

#include <string>

#include "settings/settings_record.h"
#include "settings/wide_text.h"

namespace xlr {

constexpr size_t kRetentionUserNameMax = 16;

// The user name recorded when a device mode is completed in the application's
// process: the NWUSERNAME entry of kxmnwun.ini in the Windows directory, else the
// NWUSERNAME environment variable, else the logged-on user.
WideString RecordingUserName();

// Writes the first 16 units of RecordingUserName(), in upper case, as the
// record's retention user name.
void FillRetentionUserName(SettingsRecord& record);

}  // namespace xlr
