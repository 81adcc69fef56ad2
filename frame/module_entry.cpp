// The entry points of the plug-in module: the two COM exports, and DllMain,
// whose process attach stores the module's own handle.
#include <prcomoem.h>

#include "frame/class_factory.h"
#include "frame/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) xlr::SetModuleHandle(instance);
    return TRUE;
}

#ifndef _WIN32
namespace {

// Where no loader calls DllMain, the module's own initialisation does, with the
// handle of the module this code was loaded in.
const bool g_attached = [] {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&DllMain), &self))
        return false;
    return DllMain(self, DLL_PROCESS_ATTACH, nullptr) != FALSE;
}();

}  // namespace
#endif

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid,
                                                                            REFIID riid,
                                                                            void** ppv) {
    return xlr::GetClassObject(rclsid, riid, ppv);
}

// Only reads two counts: it cannot fail.
extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return xlr::CanUnloadNow();
}
