// The file side of CloseHandle: files opened by CreateFileW.
#pragma once

#include <optional>

#include <windows.h>

namespace xlplatform {

// Closes a file handle: TRUE, or FALSE with the last error set when closing
// fails. Nothing when the handle is not an open file.
std::optional<BOOL> CloseFileHandle(HANDLE object);

}  // namespace xlplatform
