// The names a retained job is kept under on the printer, chosen when the
// document starts: the user's name and a short job name made from the
// document's name.
#pragma once

#include <printoem.h>

#include "job/pjl/text_cleaning.h"
#include "settings/device/device_state.h"
#include "settings/settings_record.h"

namespace xlr {

constexpr size_t kRetentionNameLength = 16;

// The settings' retention user name (at most 16 units), cleaned unless the
// user typed the job's names themselves; "UNTITLED" when empty.
WideString RetentionUserName(const SettingsRecord& settings, CleaningRule rule);

// A job name from a document name: from 18 units on, an application's title
// prefix ("Microsoft Word - " ...) is dropped, and a name still longer than 17
// units keeps only its last path part. At most 16 units, cleaned.
WideString JobNameFromDocument(WideStringView document, CleaningRule rule);

// "dd/mm/yyyy hh:mm" in the order of the user's short date format (fields
// separated by "/", "-" or "." in the format are written with at least two
// digits and joined by "/").
WideString DateTimeName(const SYSTEMTIME& local, WideStringView shortDateFormat);

// Sets the state's retention user name and retention job name for the
// document now starting (its name is in the state's documentName).
void NameDocument(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings);

}  // namespace xlr
