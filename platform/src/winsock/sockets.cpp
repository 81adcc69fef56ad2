// Windows Sockets: start-up counting, IPv4 address text and reverse lookups.
#include <windows.h>
#include <ws2tcpip.h>
#include <xlplatform/world.h>

#include <atomic>
#include <cstring>

#include "host_resolver.h"

namespace {

std::atomic<int> g_startups{0};

}  // namespace

extern "C" {

int WINAPI WSAStartup(WORD versionRequested, LPWSADATA data) {
    if (data == nullptr) return WSAEFAULT;
    std::memset(data, 0, sizeof *data);
    data->wVersion = versionRequested;
    data->wHighVersion = MAKEWORD(2, 2);
    std::strcpy(data->szDescription, "WinSock 2.0");
    std::strcpy(data->szSystemStatus, "Running");
    ++g_startups;
    return 0;
}

int WINAPI WSACleanup() {
    int count = g_startups.load();
    while (count > 0 && !g_startups.compare_exchange_weak(count, count - 1)) {
    }
    return count > 0 ? 0 : WSANOTINITIALISED;
}

INT WINAPI InetPtonW(INT family, PCWSTR text, PVOID address) {
    if (family != AF_INET) return -1;
    if (text == nullptr || address == nullptr) return 0;
    // Four decimal parts of 0 to 255 without leading zeros, as the dotted form is written.
    uint32_t parts[4] = {};
    const WCHAR* p = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *p++ != u'.') return 0;
        if (*p < u'0' || *p > u'9') return 0;
        const WCHAR* start = p;
        uint32_t value = 0;
        while (*p >= u'0' && *p <= u'9' && value <= 255) value = value * 10 + (*p++ - u'0');
        if (value > 255 || (*start == u'0' && p - start > 1)) return 0;
        parts[i] = value;
    }
    if (*p != 0) return 0;
    const BYTE bytes[4] = {static_cast<BYTE>(parts[0]), static_cast<BYTE>(parts[1]),
                           static_cast<BYTE>(parts[2]), static_cast<BYTE>(parts[3])};
    std::memcpy(address, bytes, sizeof bytes);  // network byte order
    return 1;
}

INT WINAPI GetNameInfoW(const SOCKADDR* address, INT addressLength, LPWSTR node, DWORD nodeSize,
                        LPWSTR service, DWORD serviceSize, INT flags) {
    if (g_startups.load() == 0) return WSANOTINITIALISED;
    if (address == nullptr || addressLength < static_cast<INT>(sizeof(SOCKADDR_IN)) ||
        node == nullptr || nodeSize == 0 || (service != nullptr && serviceSize != 0))
        return WSAEFAULT;
    if (address->sa_family != AF_INET) return WSAEAFNOSUPPORT;
    SOCKADDR_IN in;
    std::memcpy(&in, address, sizeof in);
    std::u16string name;
    if ((flags & NI_NUMERICHOST) == 0)
        if (auto host = xlplatform::ReverseLookupIPv4(in.sin_addr.s_addr)) {
            name = xlplatform::Utf8ToUtf16(*host);
            if ((flags & NI_NOFQDN) != 0) name = name.substr(0, name.find(u'.'));
        }
    if (name.empty()) {
        if ((flags & NI_NAMEREQD) != 0) return WSAHOST_NOT_FOUND;
        const auto* b = reinterpret_cast<const BYTE*>(&in.sin_addr.s_addr);
        for (int i = 0; i < 4; ++i) {
            if (i > 0) name += u'.';
            name += xlplatform::Utf8ToUtf16(std::to_string(b[i]));
        }
    }
    if (name.size() >= nodeSize) return WSAEFAULT;
    std::memcpy(node, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    return 0;
}

}  // extern "C"
