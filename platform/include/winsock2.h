// Windows Sockets: start-up and the IPv4 address records that host-name
// lookups take. Name lookups are in ws2tcpip.h.
#pragma once

#include "windef.h"

typedef USHORT ADDRESS_FAMILY;
constexpr int AF_INET = 2;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEAFNOSUPPORT = 10047;

// An IPv4 address in network byte order.
typedef struct in_addr {
    ULONG s_addr;
} IN_ADDR;

typedef struct sockaddr {
    ADDRESS_FAMILY sa_family;
    CHAR sa_data[14];
} SOCKADDR;

typedef struct sockaddr_in {
    ADDRESS_FAMILY sin_family;
    USHORT sin_port;  // network byte order
    IN_ADDR sin_addr;
    CHAR sin_zero[8];
} SOCKADDR_IN;
static_assert(sizeof(SOCKADDR_IN) == 16);

typedef struct WSAData {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
} WSADATA, *LPWSADATA;

#define MAKEWORD(low, high) static_cast<WORD>(((high)&0xFF) << 8 | ((low)&0xFF))

extern "C" {

// Counted: every successful WSAStartup needs a WSACleanup.
int WINAPI WSAStartup(WORD versionRequested, LPWSADATA data);
int WINAPI WSACleanup();

}  // extern "C"
