// The XML DOM document component that a fresh world registers.
#pragma once

#include <objbase.h>

namespace xlplatform {

// Creates an empty document and asks it for `iid`.
HRESULT CreateXmlDocument(REFIID iid, void** object);

}  // namespace xlplatform
