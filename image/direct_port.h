// Whether the printer hangs directly on this computer (parallel or USB port):
// there the JPEG path pays off even in the "Auto" choice, since the job's bytes
// are what the cable has to carry.
#pragma once

#include <windows.h>

namespace xlr {

// True when the printer's port is of a direct kind (settings/printer_port.h):
// its upper-case name contains "LPT1:", "LPT2:", "LPT3:", "USB" or "DOT4".
// False for any other port and for a printer whose information cannot be read.
bool IsDirectConnection(HANDLE printer);

}  // namespace xlr
