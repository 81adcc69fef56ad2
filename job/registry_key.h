// An open registry key that closes itself, for the job library's readers of
// the user's and the machine's settings.
#pragma once

#include <windows.h>

namespace xlr {

struct KeyHandle {
    HKEY key = nullptr;
    ~KeyHandle() {
        if (key != nullptr) RegCloseKey(key);
    }
};

}  // namespace xlr
