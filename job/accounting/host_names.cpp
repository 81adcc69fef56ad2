#include "job/accounting/host_names.h"

#include <ws2tcpip.h>

namespace xlr {
namespace {

// Windows Sockets for the length of one lookup.
struct SocketsStarted {
    bool started = false;
    SocketsStarted() {
        WSADATA data{};
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~SocketsStarted() {
        if (started) WSACleanup();
    }
};

}  // namespace

std::optional<WideString> HostNameOfAddress(WideStringView text) {
    const WideString address(text);
    SOCKADDR_IN socketAddress{};
    socketAddress.sin_family = AF_INET;
    if (InetPtonW(AF_INET, address.c_str(), &socketAddress.sin_addr) != 1) return std::nullopt;
    const SocketsStarted sockets;
    if (!sockets.started) return std::nullopt;
    WCHAR host[NI_MAXHOST] = {};
    if (GetNameInfoW(reinterpret_cast<const SOCKADDR*>(&socketAddress), sizeof socketAddress, host,
                     NI_MAXHOST, nullptr, 0, NI_NAMEREQD) != 0)
        return std::nullopt;
    return WideString(host);
}

}  // namespace xlr
