// Automation services: BSTR strings and VARIANT handling.
#pragma once

#include "oaidl.h"

extern "C" {

// A BSTR points at its first character; the 32-bit byte length sits just before
// it and a NUL character after the last one, as on Windows.
BSTR WINAPI SysAllocString(const OLECHAR* text);
// `text` may be null: the string then holds `length` NUL characters.
BSTR WINAPI SysAllocStringLen(const OLECHAR* text, UINT length);
void WINAPI SysFreeString(BSTR text);
UINT WINAPI SysStringLen(BSTR text);      // characters, without the terminator
UINT WINAPI SysStringByteLen(BSTR text);  // bytes, without the terminator

void WINAPI VariantInit(VARIANTARG* value);
// Frees a BSTR and releases an interface that the variant owns, then empties it.
HRESULT WINAPI VariantClear(VARIANTARG* value);

}  // extern "C"
