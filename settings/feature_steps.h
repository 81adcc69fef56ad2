// The per-feature default and reconciliation steps that the DevMode method runs
// over the settings record, one group of fields each, in a fixed order.
#pragma once

#include <windows.h>

#include "settings/settings_record.h"

namespace xlr {

enum class DevModeKind { Default, Convert, Merge };

struct FeatureStepContext {
    DevModeKind kind;
    SettingsRecord& out;      // the record being made
    DEVMODEW& publicDevMode;  // Unidrv's public device mode of the call
    SettingsRecord* in;       // the input record (Convert and Merge), else null
    bool copyFromInput;       // the input's version matches: groups are carried over
};

void RunFeatureSteps(FeatureStepContext& context);

// Sets the last unit of every text field to NUL, so that a copied or corrupt
// text can never run past its field.
void TerminateTextFields(SettingsRecord& record);

// Fixed tokens the steps write into a new record.
extern const uint8_t kRecordTokens[3][16];
extern const uint8_t kRecordToken9780[16];

}  // namespace xlr
