// Where the XML configuration file lies: in the printer driver's directory,
// under the name the printer description gives it (feature KXXMLFileUsed).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>
#include "settings/wide_text.h"

namespace xlr {

// The directory of the driver's main file (the level-3 driver record's driver
// path up to and including its last backslash) followed by `fileName`. Nothing
// when the record cannot be read, the path has no directory, or the name is
// empty or reaches outside the directory (a separator, a drive or "..").
std::optional<WideString> XmlConfigPath(HANDLE printer, WideStringView fileName);

// The name ends in ".XML", compared in upper case (the form of configuration
// file that carries margin tables).
bool IsXmlFileName(WideStringView fileName);

}  // namespace xlr
