#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace service {

// This machine's outward-facing IPv4 address: the source address the kernel would pick
// for a packet to a public address. A UDP socket is connected, which sends nothing.
// Nothing when there is no route out or the kernel picks no usable address.
std::optional<std::uint32_t> OutwardIpv4Address();

// The address the own-address page shows for a caller. A loopback caller is this machine,
// and "127.0.0.1, this machine" tells nobody anything, so it gets this machine's
// outward-facing address instead (located like any other: a private one as the local
// network); the caller as it is when there is no such address or the caller is not on
// loopback. The outward address is asked for only for a loopback caller.
std::string AddressForOwnPage(
    std::string_view caller,
    const std::function<std::optional<std::uint32_t>()>& outwardAddress = OutwardIpv4Address);

}  // namespace service
