#include "host_resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace xlplatform {

std::optional<std::string> ReverseLookupIPv4(uint32_t address) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = address;
    char host[NI_MAXHOST] = {};
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&in), sizeof in, host, sizeof host, nullptr,
                      0, NI_NAMEREQD) != 0)
        return std::nullopt;
    return std::string(host);
}

}  // namespace xlplatform
