// COM base services: apartments of the calling thread and class creation from the
// world's class registry (xlplatform::RegisterComClass).
#pragma once

#include "unknwn.h"
#include "wtypes.h"

typedef DWORD CLSCTX;
constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD CLSCTX_ALL = CLSCTX_SERVER | CLSCTX_INPROC_HANDLER;

typedef DWORD COINIT;
constexpr DWORD COINIT_MULTITHREADED = 0x0;
constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

extern "C" {

// S_OK on the first call of a thread, S_FALSE when the thread already has the
// same model (each success needs a CoUninitialize), RPC_E_CHANGED_MODE for the
// other model. CoInitialize is the apartment-threaded form.
HRESULT WINAPI CoInitialize(LPVOID reserved);
HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit);
void WINAPI CoUninitialize();

// CO_E_NOTINITIALIZED on a thread without COM, REGDB_E_CLASSNOTREG for a class
// the world does not know, CLASS_E_NOAGGREGATION with an outer object.
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                LPVOID* object);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": returns the characters written with
// the terminator (39), or 0 when `size` is too small.
int WINAPI StringFromGUID2(REFGUID guid, LPOLESTR text, int size);

}  // extern "C"
