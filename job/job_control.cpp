#include "job/job_control.h"

namespace xlr {

bool IsJobControlCallback(DWORD callbackId) {
    for (DWORD callback : kJobControlCallbacks)
        if (callback == callbackId) return true;
    return false;
}

// FIXME: a stand-in until the PJL composers are built: nothing is written.
void WriteJobControlCallback(PDEVOBJ, PluginDeviceState&, SettingsRecord&, DWORD) {}

}  // namespace xlr
