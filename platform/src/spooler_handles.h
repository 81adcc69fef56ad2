// Printer handles of the world, shared by the spooler's source files.
#pragma once

#include <xlplatform/world.h>

namespace xlplatform {

struct PrinterAccess {
    OpenPrinterHandle* handle = nullptr;
    Printer* printer = nullptr;
};

// The open handle and its printer; both null, with ERROR_INVALID_HANDLE set, when
// the handle is unknown or its printer has been removed from the world.
PrinterAccess ResolvePrinterHandle(HANDLE printer);

// Ends the document started on the handle, if any (EndDocPrinter's work).
void EndHandleDocument(OpenPrinterHandle& handle);

}  // namespace xlplatform
