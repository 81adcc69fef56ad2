#include "job/job_retention.h"

#include <cstring>

namespace xlr {

ULONG HandleJobStorage(PDEVOBJ, PluginDeviceState& state, SettingsRecord& settings, ULONG, PVOID,
                       ULONG outSize, PVOID out) {
    if (out == nullptr || outSize < sizeof(JobStorageInformation)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    JobStorageInformation record{};
    record.size = sizeof record;
    record.retentionInstalled = settings.jobRetention == 1 ? 1 : 0;
    record.retentionMode = settings.retentionMode;
    record.manualDuplex = settings.manualDuplex == 1 || state.mediaManualDuplex == 1 ? 1 : 0;
    std::memcpy(out, &record, sizeof record);
    return 1;
}

}  // namespace xlr
