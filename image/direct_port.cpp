#include "image/direct_port.h"

#include "settings/printer_port.h"

namespace xlr {

bool IsDirectConnection(HANDLE printer) {
    return IsDirectPort(PrinterPortKind(printer));
}

}  // namespace xlr
