// The plug-in's WritePrinter: every job byte Unidrv sends reaches the spooler
// through it, and is copied into the capture file while a capture is active.
#pragma once

#include <printoem.h>

namespace xlr {

// S_OK when the spooler took the write; E_FAIL when it failed or there is no
// device state. `written` is what the spooler took.
HRESULT WriteJobBytes(PDEVOBJ device, PVOID data, DWORD size, PDWORD written);

}  // namespace xlr
