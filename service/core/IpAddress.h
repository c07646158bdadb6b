#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace service {

// An IPv6 address as two 64-bit halves, most significant first, so that addresses compare
// in their numeric order.
struct Ipv6Address {
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    auto operator<=>(const Ipv6Address&) const = default;
};

// An address of either family; an IPv4 address is never held as IPv6 (a mapped address is
// read as the IPv4 address it carries).
using IpAddress = std::variant<std::uint32_t, Ipv6Address>;

// The last address of the network first/length (length at most 128).
Ipv6Address LastInNetwork(const Ipv6Address& first, unsigned length);

// The addresses from first to last, both of one family.
struct AddressSpan {
    IpAddress first;
    IpAddress last;

    bool Holds(const IpAddress& address) const { return first <= address && address <= last; }
};

// The network of this prefix length (at most 32 for IPv4, 128 for IPv6) that holds the
// address.
AddressSpan NetworkAround(const IpAddress& address, unsigned length);

// Reads the IPv6 text forms: up to eight groups of one to four hex digits, at most one "::"
// standing for one or more zero groups, optionally a dotted quad as the last 32 bits, and
// optionally a zone ("%eth0", letters, digits and "._~-"), which is dropped.
std::optional<Ipv6Address> ParseIpv6(std::string_view text);

// A dotted quad (ParseIpv4) or an IPv6 address; an IPv4-mapped one (::ffff:a.b.c.d) gives
// the IPv4 address.
std::optional<IpAddress> ParseIpAddress(std::string_view text);

// The canonical text: the dotted quad, or the IPv6 form of RFC 5952 (lower-case hex without
// leading zeros, the longest run of two or more zero groups, the first of equals, as "::").
std::string FormatIpv6(const Ipv6Address& address);
std::string FormatIpAddress(const IpAddress& address);

}  // namespace service
