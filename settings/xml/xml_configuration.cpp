#include "settings/xml/xml_configuration.h"

#include "settings/media/emulated_margins.h"
#include "settings/xml/xml_config_path.h"

namespace xlr {

std::unique_ptr<CKXXmlConfig> OpenXmlConfig(PDEVOBJ device, const FeatureReader& features) {
    if (device == nullptr) return nullptr;
    const std::optional<WideString> name = features.Read(WSTR("KXXMLFileUsed"));
    if (!name) return nullptr;
    const std::optional<WideString> path = XmlConfigPath(device->hPrinter, *name);
    if (!path) return nullptr;
    return std::make_unique<CKXXmlConfig>(*path);
}

StandardVariables DeviceStandardVariables(PDEVOBJ device, IPrintOemDriverUni* helper) {
    return [device, helper](DWORD index) -> std::optional<int32_t> {
        if (helper == nullptr) return std::nullopt;
        LONG value = 0;
        DWORD needed = 0;
        if (FAILED(helper->DrvGetStandardVariable(device, index, &value, sizeof value, &needed)))
            return std::nullopt;
        return static_cast<int32_t>(value);
    };
}

std::optional<std::string> ConfiguredCommand(PDEVOBJ device, PluginDeviceState& state,
                                             DWORD callbackId) {
    const std::unique_ptr<CKXXmlConfig> config =
        OpenXmlConfig(device, FeatureReader(device, state.driverHelper));
    if (!config) return std::nullopt;
    const std::string number = std::to_string(callbackId);
    std::optional<std::string> command =
        config->LookUpCallbackCommand(WideString(number.begin(), number.end()), WSTR("PDL"),
                                      DeviceStandardVariables(device, state.driverHelper));
    if (command && command->empty()) return std::nullopt;
    return command;
}

bool ReadXmlPageOffset(PDEVOBJ device, const FeatureReader& features, const GDIINFO& gdiInfo,
                       POINTL& offset) {
    if (device == nullptr || device->pPublicDM == nullptr) return false;
    const std::optional<WideString> name = features.Read(WSTR("KXXMLFileUsed"));
    if (!name || !IsXmlFileName(*name)) return false;
    const std::unique_ptr<CKXXmlConfig> config = OpenXmlConfig(device, features);
    if (!config) return false;
    const std::optional<POINTL> found =
        EmulatedPageOffset(*config, *device->pPublicDM, static_cast<LONG>(gdiInfo.ulLogPixelsX),
                           static_cast<LONG>(gdiInfo.ulLogPixelsY));
    if (!found) return false;
    offset = *found;
    return true;
}

}  // namespace xlr
