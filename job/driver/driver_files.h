// The printer driver's files as the spooler lists them (level-3 driver record),
// their versions, and the strings of the driver's resource module.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

struct DriverRecord {
    WideString name;
    WideString driverPath;  // Unidrv's main module
    std::vector<WideString> dependentFiles;
};

std::optional<DriverRecord> ReadDriverRecord(HANDLE printer);

// The part of a path after its last "\" (or "/": a module of this process may
// answer its own path with either).
WideStringView FileNameOf(WideStringView path);

// The four parts of the file's fixed version record joined by "." (e.g.
// "10.0.19041.1"); nothing when the file has no version resource.
std::optional<std::string> FileVersionText(WideStringView path);

// The version of the module holding this code, found by its file name among
// the driver's dependent files.
std::optional<std::string> PluginVersion(const DriverRecord& driver);
// The version of Unidrv's main module, the driver path, which must name
// UNIDRV and a .DLL.
std::optional<std::string> UnidrvVersion(const DriverRecord& driver);

// String `id` of the driver's resource module (the "Component_R_B" file of the
// component INI, among the dependent files or beside the driver); empty when
// there is none.
WideString DriverResourceString(HANDLE printer, UINT id);

// A name that came out empty after cleaning: the resource module's name for
// an unknown user (string 174), else "UNTITLED".
WideString UntitledName(HANDLE printer);

}  // namespace xlr
