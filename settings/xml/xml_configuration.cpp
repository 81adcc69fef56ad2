// FIXME: stand-ins until the XML configuration reader is built.
#include "settings/xml/xml_configuration.h"

namespace xlr {

std::optional<std::string> ConfiguredCommand(PDEVOBJ, PluginDeviceState&, DWORD) {
    return std::nullopt;
}

bool ReadXmlPageOffset(PDEVOBJ, const FeatureReader&, const GDIINFO&, POINTL&) {
    return false;
}

}  // namespace xlr
