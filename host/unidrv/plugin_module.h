// The plug-in module loaded as Unidrv loads it: LoadLibraryW, DllGetClassObject
// for CLSID_OEMRENDER, IClassFactory::CreateInstance for IPrintOemUni2.
#pragma once

#include <string>

#include <prcomoem.h>

namespace xlhost {

// The module beside the xlrender executable.
std::string DefaultModulePath();

class PluginModule {
  public:
    PluginModule() = default;
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the module and creates one plug-in object; on failure returns false
    // and sets `error`.
    bool Load(const std::string& path, std::string& error);

    IPrintOemUni2* Plugin() const { return plugin_; }
    HMODULE Module() const { return module_; }
    const std::string& Path() const { return path_; }

  private:
    HMODULE module_ = nullptr;
    IPrintOemUni2* plugin_ = nullptr;
    std::string path_;
};

}  // namespace xlhost
