// Unidrv's own DDI functions: the table its DrvEnableDriver would return, which
// the plug-in's EnablePDEV searches for the functions its hooks forward to.
#pragma once

#include <span>
#include <vector>

#include <winddi.h>

namespace xlhost {

// Document, page, band and escape functions: they send the printer
// description's commands through the device (document_functions.cpp).
std::span<const DRVFN> UnidrvDocumentFunctions();

// The document functions and the drawing functions (host/drawing/), as one table.
std::vector<DRVFN> UnidrvFunctions();

}  // namespace xlhost
