#pragma once

#include <string>
#include <string_view>

namespace service {

// Whether a peer address (IPv4, IPv6 or IPv4-mapped IPv6 text) is a loopback address.
bool IsLoopbackPeer(std::string_view peer);

// The caller's address as the own-address page shows it. The peer address, unless
// trustProxy is on, the peer is a loopback address (a reverse proxy on this machine) and
// the last X-Forwarded-For entry, the one that proxy appended, is a well-formed IPv4 or
// IPv6 address: then that entry. A forwarded value that is no address is ignored, so
// nothing a client writes into the header reaches the page unchecked. IPv4-mapped IPv6
// addresses come back as plain dotted quads.
std::string CallerAddress(std::string_view peer, std::string_view forwardedFor, bool trustProxy);

}  // namespace service
