#include "settings/media/media_lists.h"

#include <cstring>
#include <memory>

#include "settings/feature_reader.h"
#include "settings/media/media_checks.h"
#include "settings/xml/xml_configuration.h"

namespace xlr {

void RunMediaChecks(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings) {
    if (device == nullptr || device->pPublicDM == nullptr) return;
    RunPaperAndMediaChecks(device->hPrinter, settings, *device->pPublicDM,
                           {state.mediaManualDuplex, state.alternateLetterhead});
}

bool IsBorderlessForm(PDEVOBJ device) {
    if (device == nullptr || device->pPublicDM == nullptr) return false;
    const PluginDeviceState* state = DeviceState(device);
    const std::unique_ptr<CKXXmlConfig> config = OpenXmlConfig(
        device, FeatureReader(device, state != nullptr ? state->driverHelper : nullptr));
    if (!config) return false;
    const WCHAR* form = device->pPublicDM->dmFormName;
    size_t length = 0;
    while (length < CCHFORMNAME && form[length] != 0) ++length;
    return length > 0 && config->IsBorderlessForm(WideStringView(form, length));
}

void WriteFinishingInformation(PDEVOBJ device, PluginDeviceState& state, SettingsRecord& settings,
                               ULONG outSize, PVOID out) {
    if (out == nullptr || outSize < sizeof(FinishingInformation)) return;
    FinishingInformation record{};
    record.size = sizeof record;
    record.manualDuplex = settings.manualDuplex == 1 || state.mediaManualDuplex == 1 ? 1 : 0;
    record.mediaManualDuplex = state.mediaManualDuplex == 1 ? 1 : 0;
    record.alternateLetterhead = state.alternateLetterhead != 0 ? 1 : 0;
    record.constrainedForm = device != nullptr && device->pPublicDM != nullptr &&
                                     IsConstrainedForm(device->hPrinter, *device->pPublicDM)
                                 ? 1
                                 : 0;
    std::memcpy(out, &record, sizeof record);
}

}  // namespace xlr
