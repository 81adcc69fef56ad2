// Recording who prints into the settings record while a device mode is
// completed in the application's process, so that the names travel with the
// job to the spooler.
#pragma once

#include <memory>

#include <windows.h>

#include "job/names/app_info.h"
#include "settings/settings_record.h"

namespace xlr {

// Kept by the plug-in object: the application is looked at once.
class NameRecorder {
  public:
    // Writes the retention user name (unless the record marks it fixed), the
    // application's user, domain, file, path, description and groups, and the
    // application flags. `printer` (may be null) keeps the application's name
    // in printer data for the spooler's own completion of the device mode,
    // which takes it back from there.
    void Record(SettingsRecord& record, HANDLE printer);

  private:
    std::unique_ptr<CKXAppInfo> m_appInfo;
};

}  // namespace xlr
