#include "service/http/OutwardAddress.h"

#include "service/core/Ipv4Address.h"
#include "service/http/ClientAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace service {
namespace {

// Any public address serves: connecting a datagram socket only chooses the route.
constexpr std::uint32_t kPublicAddress = 0x08080808;  // 8.8.8.8
constexpr std::uint16_t kPort = 53;

}  // namespace

std::optional<std::uint32_t> OutwardIpv4Address() {
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return std::nullopt;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(kPort);
    remote.sin_addr.s_addr = htonl(kPublicAddress);
    sockaddr_in local{};
    socklen_t localSize = sizeof local;
    const bool found =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0 &&
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &localSize) == 0;
    ::close(socket);
    const std::uint32_t address = ntohl(local.sin_addr.s_addr);
    if (!found || address == 0 || (address >> 24) == 127) return std::nullopt;
    return address;
}

std::string AddressForOwnPage(std::string_view caller, const OutwardAddressSource& outwardAddress) {
    if (IsLoopbackPeer(caller)) {
        if (const auto outward = outwardAddress()) return FormatIpv4(*outward);
    }
    return std::string(caller);
}

}  // namespace service
