// FIXME: stand-ins until the paper and media lists are built.
#include "settings/media/media_lists.h"

namespace xlr {

void RunMediaChecks(PDEVOBJ, PluginDeviceState&, SettingsRecord&) {}

bool IsBorderlessForm(PDEVOBJ) {
    return false;
}

void WriteFinishingInformation(PDEVOBJ, PluginDeviceState&, SettingsRecord&, ULONG, PVOID) {}

}  // namespace xlr
