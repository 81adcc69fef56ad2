// Call sites for work that later parts of the plug-in provide: the command store
// of the two-pass page, watermark drawing, the job-control composers, the XML
// configuration and the finishing and job-storage escapes. Each says what it
// does once built; until then it does nothing and reports "nothing done".
#pragma once

#include <optional>
#include <string>

#include <printoem.h>

#include "settings/device/device_state.h"
#include "pclxl/stream.h"
#include "settings/settings_record.h"

namespace xlr {

// FIXME: the command store is not built yet; no store is ever made.
CCmdStore* CreateCommandStore(PDEVOBJ device, PluginDeviceState* state);
void DestroyCommandStore(CCmdStore* store);
void CommandStoreStartRecording(CCmdStore* store);  // start of an analysis pass
void CommandStoreEndPage(CCmdStore* store);         // end of an output pass
void CommandStoreEndDocument(CCmdStore* store);

// FIXME: watermark drawing is not built yet; nothing is drawn.
bool DrawWatermark(XLStream* stream, PluginDeviceState& state, const SettingsRecord& settings,
                   int slot);

// FIXME: the retention names of the document are not built yet.
void NameDocument(PDEVOBJ device, PluginDeviceState& state, const SettingsRecord& settings);

// FIXME: the PJL composers are not built yet; these callbacks write nothing.
void WriteJobControlCallback(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                             DWORD callbackId);

// FIXME: the XML configuration reader is not built yet; no command is configured.
std::optional<std::string> ConfiguredCommand(PDEVOBJ device, PluginDeviceState& state,
                                             DWORD callbackId);

// FIXME: the finishing information (escape 3880) and job storage (escape 3900)
// are not built yet.
void WriteFinishingInformation(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                               ULONG outSize, PVOID out);
ULONG HandleJobStorage(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                       ULONG inSize, PVOID in, ULONG outSize, PVOID out);

// The job-information handler of escape 3882: takes the job values the
// user-interface side sends. Answers 1.
ULONG HandleJobInformation(PluginDeviceState& state, SettingsRecord& settings, HANDLE printer,
                           ULONG inSize, PVOID in, ULONG outSize, PVOID out);

}  // namespace xlr
