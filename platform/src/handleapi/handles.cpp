// CloseHandle for every kind of kernel object handle the layer hands out:
// files of CreateFileW, the process token and the current process.
#include <handleapi.h>
#include <windows.h>

#include <optional>

#include "fileapi/file_handles.h"
#include "security/process_token.h"

extern "C" {

BOOL WINAPI CloseHandle(HANDLE object) {
    if (xlplatform::IsProcessHandle(object)) return TRUE;
    if (const std::optional<BOOL> closed = xlplatform::CloseFileHandle(object)) return *closed;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

}  // extern "C"
