// The entry points of libxlrender.so: the two COM exports, and the module-attach
// step that stores the module's own handle (DllMain's process attach).
#include <dlfcn.h>

#include <prcomoem.h>

#include "frame/class_factory.h"
#include "frame/module_state.h"

namespace {

__attribute__((constructor)) void ModuleAttach() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&ModuleAttach), &info) == 0 || info.dli_fname == nullptr)
        return;
    // RTLD_NOLOAD only looks the loaded module up; the extra reference is dropped
    // at once, the handle stays valid while the module is loaded.
    void* self = ::dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (self == nullptr) return;
    xlr::SetModuleHandle(static_cast<HMODULE>(self));
    ::dlclose(self);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid,
                                                                            REFIID riid,
                                                                            void** ppv) {
    return xlr::GetClassObject(rclsid, riid, ppv);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return xlr::CanUnloadNow();
}
