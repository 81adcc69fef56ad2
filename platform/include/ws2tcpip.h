// Address text and host-name lookups of Windows Sockets.
#pragma once

#include "winsock2.h"

constexpr int NI_NOFQDN = 0x01;
constexpr int NI_NUMERICHOST = 0x02;
constexpr int NI_NAMEREQD = 0x04;
constexpr DWORD NI_MAXHOST = 1025;

extern "C" {

// Dotted IPv4 text into an IN_ADDR: 1 when the text is an address, 0 when not,
// -1 for a family other than AF_INET.
INT WINAPI InetPtonW(INT family, PCWSTR text, PVOID address);
// The host name of an IPv4 address, through the machine's resolver (its hosts
// file first). 0 on success, else a Windows Sockets error (WSAHOST_NOT_FOUND
// when NI_NAMEREQD is given and the address has no name). Services are not
// looked up: pass no service buffer.
INT WINAPI GetNameInfoW(const SOCKADDR* address, INT addressLength, LPWSTR node, DWORD nodeSize,
                        LPWSTR service, DWORD serviceSize, INT flags);

}  // extern "C"
