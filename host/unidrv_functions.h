// Unidrv's own DDI functions: the table its DrvEnableDriver would return, which
// the plug-in's EnablePDEV searches for the functions its hooks forward to.
#pragma once

#include <span>
#include <vector>

#include <winddi.h>

namespace xlhost {

// Document, page, band and escape functions: they send the printer
// description's commands through the device (unidrv_document.cpp).
std::span<const DRVFN> UnidrvDocumentFunctions();

// Drawing functions: they write plain PCL XL for what reaches them
// (host/drawing/).
std::span<const DRVFN> UnidrvDrawingFunctions();

// Both, as one table.
std::vector<DRVFN> UnidrvFunctions();

}  // namespace xlhost
