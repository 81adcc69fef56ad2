// Base types of COM automation: OLE characters and strings.
#pragma once

#include "windef.h"

typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
// A length-prefixed string from SysAllocString (oleauto.h); may hold NUL characters.
typedef OLECHAR* BSTR;
typedef LONG SCODE;
typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;
