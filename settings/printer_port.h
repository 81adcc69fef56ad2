// What kind of port a printer hangs on, by its port name: a local cable
// (parallel, USB, IEEE 1284.4), a file, a path (a share or a folder) or
// anything else (a network port).
#pragma once

#include <cstdint>

#include <windows.h>

#include "settings/wide_text.h"

namespace xlr {

enum class PortKind : uint8_t {
    Other = 0,  // also: the printer's information cannot be read
    Lpt1 = 1,
    Lpt2 = 2,
    Lpt3 = 3,
    Usb = 4,
    Dot4 = 5,
    File = 6,
    Path = 8,  // a name with ":\" in it
};

// The first of "LPT1:", "LPT2:", "LPT3:", "USB", "DOT4", "FILE:" and ":\" found
// in the upper-cased port name, in that order.
PortKind ClassifyPortName(WideStringView portName);

// The kind of the printer's port (its level-2 information).
PortKind PrinterPortKind(HANDLE printer);

// A port on a cable to this computer: LPT1-3, USB or DOT4.
constexpr bool IsDirectPort(PortKind kind) {
    return kind >= PortKind::Lpt1 && kind <= PortKind::Dot4;
}

}  // namespace xlr
