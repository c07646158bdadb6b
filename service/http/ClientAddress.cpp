#include "service/http/ClientAddress.h"

#include "service/core/Ipv4Address.h"

#include <arpa/inet.h>

namespace service {
namespace {

constexpr std::string_view kMappedPrefix = "::ffff:";

std::string_view WithoutMapping(std::string_view address) {
    if (address.size() > kMappedPrefix.size() &&
        address.substr(0, kMappedPrefix.size()) == kMappedPrefix &&
        ParseIpv4(address.substr(kMappedPrefix.size()))) {
        address.remove_prefix(kMappedPrefix.size());
    }
    return address;
}

bool IsIpv6(std::string_view text) {
    // inet_pton stops at the first NUL: what follows one would reach the page unchecked.
    if (text.find('\0') != std::string_view::npos) return false;
    in6_addr parsed{};
    return inet_pton(AF_INET6, std::string(text).c_str(), &parsed) == 1;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

bool IsLoopbackPeer(std::string_view peer) {
    const std::string_view address = WithoutMapping(peer);
    if (const auto v4 = ParseIpv4(address)) return (*v4 >> 24) == 127;
    return address == "::1";
}

std::string CallerAddress(std::string_view peer, std::string_view forwardedFor, bool trustProxy) {
    if (trustProxy && IsLoopbackPeer(peer) && !forwardedFor.empty()) {
        const std::size_t comma = forwardedFor.rfind(',');
        const std::string_view last = WithoutMapping(Trimmed(
            comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1)));
        if (ParseIpv4(last) || IsIpv6(last)) return std::string(last);
    }
    return std::string(WithoutMapping(peer));
}

}  // namespace service
