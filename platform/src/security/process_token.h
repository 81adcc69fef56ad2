// The security side of CloseHandle: the process token and the current process.
#pragma once

#include <windows.h>

namespace xlplatform {

// Whether the handle is the process token or the current process's pseudo
// handle, which closing leaves as they are.
bool IsProcessHandle(HANDLE handle);

}  // namespace xlplatform
