// SendFontCmd: the font selection command of the printer description, with the
// "#HEIGHT" token replaced by the font's height in points.
#pragma once

#include <printoem.h>

namespace xlr {

constexpr size_t kFontCommandBufferSize = 100;

// Writes the invocation's command through the device's DrvWriteSpoolBuf.
void SendFontCommand(PDEVOBJ pdevobj, PUNIFONTOBJ font, PFINVOCATION invocation);

}  // namespace xlr
