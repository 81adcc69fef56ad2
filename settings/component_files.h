// The driver's component files: which file plays which part, named in the
// "ComponentFiles" section of the INI file among the driver's dependent files.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

// Component keys and the names used when the INI file does not name them.
struct ComponentName {
    WideStringView key;
    WideStringView defaultName;
};
inline constexpr ComponentName kPrintProcessorComponent = {WSTR("Component_F_B"),
                                                           WSTR("XLPROC.DLL")};
inline constexpr ComponentName kPluginComponent = {WSTR("Component_F_C"), WSTR("xlrender.dll")};
inline constexpr ComponentName kUsageComponent = {WSTR("Component_F_E"), WSTR("XLUSAGE.DLL")};
inline constexpr ComponentName kHelperResourceComponent = {WSTR("Component_R_A"),
                                                           WSTR("XLRESUI.DLL")};
inline constexpr ComponentName kResourceComponent = {WSTR("Component_R_B"), WSTR("XLRES.DLL")};
inline constexpr ComponentName kDeviceQueryComponent = {WSTR("Component_R_D"), WSTR("XLDEVQ.DLL")};

// A name of 30 units or more cannot be stored; a read that fills 29 units is
// taken as cut off.
constexpr DWORD kComponentNameBuffer = 30;

// Path of the first dependent file of the printer's driver whose upper-cased
// name contains ".INI"; empty when there is none.
WideString FindComponentIni(HANDLE printer);

// The file name the INI gives for the component, or its default name.
WideString ReadComponentName(WideStringView iniPath, const ComponentName& component);

}  // namespace xlr
