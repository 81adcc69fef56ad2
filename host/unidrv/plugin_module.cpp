#include "host/unidrv/plugin_module.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include <xlplatform/world.h>

namespace xlhost {
namespace {

std::string HResultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

}  // namespace

std::string DefaultModulePath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "libxlrender.so";
    return (self.parent_path() / "libxlrender.so").string();
}

bool PluginModule::Load(const std::string& path, std::string& error) {
    path_ = path;
    // A name without "/" would be searched for; make a file in the current
    // directory explicit, as Unidrv names the module by its full path.
    std::string fullPath = path;
    if (fullPath.find('/') == std::string::npos) fullPath = "./" + fullPath;
    module_ = LoadLibraryW(xlplatform::Utf8ToUtf16(fullPath).c_str());
    if (module_ == nullptr) {
        error = "cannot load the plug-in module " + path;
        return false;
    }
    auto getClassObject =
        FunctionCast<LPFNGETCLASSOBJECT>(GetProcAddress(module_, "DllGetClassObject"));
    if (getClassObject == nullptr) {
        error = path + " does not export DllGetClassObject";
        return false;
    }
    void* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_OEMRENDER, IID_IClassFactory, &factory);
    if (FAILED(hr) || factory == nullptr) {
        error = "DllGetClassObject failed with " + HResultText(hr);
        return false;
    }
    void* plugin = nullptr;
    hr = static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_IPrintOemUni2, &plugin);
    static_cast<IClassFactory*>(factory)->Release();
    if (FAILED(hr) || plugin == nullptr) {
        error = "CreateInstance failed with " + HResultText(hr);
        return false;
    }
    plugin_ = static_cast<IPrintOemUni2*>(plugin);
    return true;
}

PluginModule::~PluginModule() {
    if (plugin_ != nullptr) plugin_->Release();
    if (module_ != nullptr) {
        auto canUnload = FunctionCast<LPFNCANUNLOADNOW>(GetProcAddress(module_, "DllCanUnloadNow"));
        // Like COM, keep a module that says it is still in use.
        if (canUnload == nullptr || canUnload() == S_OK) FreeLibrary(module_);
    }
}

}  // namespace xlhost
