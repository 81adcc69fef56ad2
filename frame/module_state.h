// Module-wide values of the COM server: the server lock count, the number of
// live plug-in objects, and the module's own handle.
#pragma once

#include <windows.h>

namespace xlr {

void AddServerLock();
void RemoveServerLock();
void AddLiveObject();
void RemoveLiveObject();

// S_OK when no plug-in object is alive and the server is not locked, else S_FALSE.
HRESULT CanUnloadNow();

void SetModuleHandle(HMODULE module);
HMODULE ModuleHandle();

}  // namespace xlr
