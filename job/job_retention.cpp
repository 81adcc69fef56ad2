// FIXME: stand-ins until job retention and storage are built.
#include "job/job_retention.h"

namespace xlr {

void NameDocument(PDEVOBJ, PluginDeviceState&, const SettingsRecord&) {}

ULONG HandleJobStorage(PDEVOBJ, PluginDeviceState&, SettingsRecord&, ULONG, PVOID, ULONG, PVOID) {
    return 1;
}

}  // namespace xlr
