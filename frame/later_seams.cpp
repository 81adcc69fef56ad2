#include "frame/later_seams.h"

namespace xlr {

CCmdStore* CreateCommandStore(PDEVOBJ, PluginDeviceState*) {
    return nullptr;
}
void DestroyCommandStore(CCmdStore*) {}
void CommandStoreStartRecording(CCmdStore*) {}
void CommandStoreEndPage(CCmdStore*) {}
void CommandStoreEndDocument(CCmdStore*) {}

bool DrawWatermark(XLStream*, PluginDeviceState&, const SettingsRecord&, int) {
    return false;
}

void NameDocument(PDEVOBJ, PluginDeviceState&, const SettingsRecord&) {}

void WriteJobControlCallback(PDEVOBJ, PluginDeviceState&, SettingsRecord&, DWORD) {}

std::optional<std::string> ConfiguredCommand(PDEVOBJ, PluginDeviceState&, DWORD) {
    return std::nullopt;
}

void WriteFinishingInformation(PDEVOBJ, PluginDeviceState&, SettingsRecord&, ULONG, PVOID) {}

ULONG HandleJobStorage(PDEVOBJ, PluginDeviceState&, SettingsRecord&, ULONG, PVOID, ULONG, PVOID) {
    return 1;
}

ULONG HandleJobInformation(PluginDeviceState&, SettingsRecord&, HANDLE, ULONG, PVOID, ULONG,
                           PVOID) {
    return 1;
}

}  // namespace xlr
