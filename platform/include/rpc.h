// RPC run-time services that the plug-in uses: universally unique identifiers.
#pragma once

#include "guiddef.h"

typedef GUID UUID;
typedef LONG RPC_STATUS;
typedef unsigned char* RPC_CSTR;

constexpr RPC_STATUS RPC_S_OK = 0;
constexpr RPC_STATUS RPC_S_OUT_OF_MEMORY = 14;
constexpr RPC_STATUS RPC_S_INVALID_ARG = 87;

extern "C" {

// A random (version 4) identifier; reproducible when the world sets `uuidSeed`.
RPC_STATUS WINAPI UuidCreate(UUID* uuid);
// The 36-character lower-case form "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx",
// allocated for the caller and returned with RpcStringFreeA.
RPC_STATUS WINAPI UuidToStringA(const UUID* uuid, RPC_CSTR* text);
RPC_STATUS WINAPI RpcStringFreeA(RPC_CSTR* text);

}  // extern "C"
