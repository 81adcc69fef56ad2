// The born-on-date line: the job's submission time handed to the printer's
// device-management information in hexadecimal ASCII.
#pragma once

#include <string>

#include <windows.h>

namespace xlr {

// @PJL DMINFO ASCIIHEX="0400040101020D10100115<time>" with the time as
// YYYYMMDDhhmmss, each character written as its two hexadecimal digits.
std::string BornOnDateLine(const SYSTEMTIME& submitted);

}  // namespace xlr
