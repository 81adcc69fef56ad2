// The usage-reporting component that a fresh world registers.
#pragma once

#include <objbase.h>

namespace xlplatform {

// Creates the component and asks it for `iid`.
HRESULT CreateUsageReport(REFIID iid, void** object);

}  // namespace xlplatform
