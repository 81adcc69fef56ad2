// Gathering the job-accounting values for a job: from the spooler's job
// record, the settings the application's process recorded, the logon domain,
// the clock and a new identifier.
#pragma once

#include <optional>

#include <printoem.h>

#include "job/accounting/accounting_lines.h"
#include "job/names/job_record.h"
#include "settings/device/device_state.h"
#include "settings/feature_reader.h"
#include "settings/settings_record.h"

namespace xlr {

// The client machine's name as JobAcct2 carries it: without the leading
// backslashes the spooler puts before it ("\\PC7" → "PC7").
WideString MachineNameWithoutBackslashes(WideStringView machine);

// The domain as JobAcct3 carries it: without a leading pair of backslashes,
// and a dotted IPv4 address replaced by its host name when it has one.
WideString AccountingDomain(WideStringView domain);

// A new unique identifier in its 36-character text form.
std::optional<std::string> NewJobIdentifier();

// All values, or nothing when one that every line needs cannot be made (no
// job record, a text that cannot be converted, no local time, no identifier).
std::optional<AccountingValues> MakeAccountingValues(PDEVOBJ device, const PluginDeviceState& state,
                                                     const SettingsRecord& settings,
                                                     const FeatureReader& features);

}  // namespace xlr
