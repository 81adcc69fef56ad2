#include "frame/module_state.h"

namespace xlr {
namespace {
LONG volatile g_serverLocks = 0;
LONG volatile g_liveObjects = 0;
HMODULE g_module = nullptr;
}  // namespace

void AddServerLock() {
    InterlockedIncrement(&g_serverLocks);
}
void RemoveServerLock() {
    InterlockedDecrement(&g_serverLocks);
}
void AddLiveObject() {
    InterlockedIncrement(&g_liveObjects);
}
void RemoveLiveObject() {
    InterlockedDecrement(&g_liveObjects);
}

HRESULT CanUnloadNow() {
    const bool idle = __atomic_load_n(&g_liveObjects, __ATOMIC_SEQ_CST) == 0 &&
                      __atomic_load_n(&g_serverLocks, __ATOMIC_SEQ_CST) == 0;
    return idle ? S_OK : S_FALSE;
}

void SetModuleHandle(HMODULE module) {
    g_module = module;
}
HMODULE ModuleHandle() {
    return g_module;
}

}  // namespace xlr
