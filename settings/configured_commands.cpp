#include "settings/configured_commands.h"

#include "settings/xml/xml_config_path.h"

namespace xlr {

std::unique_ptr<CKXXmlConfig> OpenXmlConfig(PDEVOBJ device, const FeatureReader& features) {
    if (device == nullptr) return nullptr;
    const std::optional<std::u16string> name = features.Read(u"KXXMLFileUsed");
    if (!name) return nullptr;
    const std::optional<std::u16string> path = XmlConfigPath(device->hPrinter, *name);
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

std::optional<std::string> ConfiguredCallbackCommand(PDEVOBJ device, IPrintOemDriverUni* helper,
                                                     DWORD callbackId) {
    const std::unique_ptr<CKXXmlConfig> config =
        OpenXmlConfig(device, FeatureReader(device, helper));
    if (!config) return std::nullopt;
    const std::string number = std::to_string(callbackId);
    std::optional<std::string> command =
        config->LookUpCallbackCommand(std::u16string(number.begin(), number.end()), u"PDL",
                                      DeviceStandardVariables(device, helper));
    if (command && command->empty()) return std::nullopt;
    return command;
}

}  // namespace xlr
