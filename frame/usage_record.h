// The usage record of a document, handed to the usage-reporting component at
// the end of the document: device, application and page total.
#pragma once

#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "settings/settings_record.h"
#include "settings/wide_text.h"

namespace xlr {

struct UsageRecord {
    WideString serialNumber;  // "9999999999" when unknown
    WideString model;         // "UnknownModel" when unknown
    WideString application;   // "UnknownAppName" when unknown
    LONG pageTotal = 0;
};

// The record of the document so far.
UsageRecord MakeUsageRecord(PDEVOBJ device, const PluginDeviceState& state,
                            const SettingsRecord& settings);

// Sends it through the usage-reporting component; nothing happens when the
// component cannot be made. Errors of the component are ignored.
void SendUsageRecord(const UsageRecord& record);

}  // namespace xlr
