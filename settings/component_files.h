// The driver's component files: which file plays which part, named in the
// "ComponentFiles" section of the INI file among the driver's dependent files.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace xlr {

// Component keys and the names used when the INI file does not name them.
struct ComponentName {
    std::u16string_view key;
    std::u16string_view defaultName;
};
inline constexpr ComponentName kPrintProcessorComponent = {u"Component_F_B", u"XLPROC.DLL"};
inline constexpr ComponentName kPluginComponent = {u"Component_F_C", u"xlrender.dll"};
inline constexpr ComponentName kUsageComponent = {u"Component_F_E", u"XLUSAGE.DLL"};
inline constexpr ComponentName kHelperResourceComponent = {u"Component_R_A", u"XLRESUI.DLL"};
inline constexpr ComponentName kResourceComponent = {u"Component_R_B", u"XLRES.DLL"};
inline constexpr ComponentName kDeviceQueryComponent = {u"Component_R_D", u"XLDEVQ.DLL"};

// A name of 30 units or more cannot be stored; a read that fills 29 units is
// taken as cut off.
constexpr DWORD kComponentNameBuffer = 30;

// Path of the first dependent file of the printer's driver whose upper-cased
// name contains ".INI"; empty when there is none.
std::u16string FindComponentIni(HANDLE printer);

// The file name the INI gives for the component, or its default name.
std::u16string ReadComponentName(std::u16string_view iniPath, const ComponentName& component);

}  // namespace xlr
