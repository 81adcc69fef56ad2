// The world's clock, shared by the time services and the spooler.
#pragma once

#include <windef.h>

namespace xlplatform {

// The world's fixed time, or the real current time (UTC).
SYSTEMTIME CurrentUtcTime();

}  // namespace xlplatform
