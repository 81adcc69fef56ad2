// Modules loaded as data files: handles that carry only resources.
#pragma once

#include <windows.h>

namespace xlplatform {

// True when `module` is a data-file handle; it is then released.
bool FreeDataFileModule(HMODULE module);

}  // namespace xlplatform
