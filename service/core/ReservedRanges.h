#pragma once

#include "service/core/IpAddress.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace service {

// The label of a special-purpose block (loopback, private, shared, link-local, multicast,
// broadcast, reserved) that holds the address, in UTF-8; nothing for an ordinary address.
// The service answers these from the table alone and never asks a database about them.
std::optional<std::string_view> SpecialRangeLabel(std::uint32_t address);

// The same for IPv6, with the label of the IPv4 counterpart: ::1 is this machine, unique
// local (fc00::/7) and link-local (fe80::/10) addresses the local network, ff00::/8
// multicast; documentation, benchmarking and the other IETF assignments, and everything
// outside global unicast (2000::/3), reserved.
std::optional<std::string_view> SpecialRangeLabel(const Ipv6Address& address);
std::optional<std::string_view> SpecialRangeLabel(const IpAddress& address);

}  // namespace service
