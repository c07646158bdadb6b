#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace summary {

// An address found in a line. IPv6 addresses are recognised so that they are not taken for
// something else, but the lookup core answers IPv4 only: they carry no value.
struct FoundAddress {
    std::optional<std::uint32_t> ipv4;

    bool operator==(const FoundAddress&) const = default;
};

// The first address anywhere in a line of a log, a CSV file or the like. An address is a
// run of address characters (hex digits, ".", ":") that stands alone: no letter, digit or "_"
// touches it. It may stand in brackets ("[2001:db8::1]:443"), carry a zone ("fe80::1%eth0")
// or a port ("192.0.2.1:8080"), and end a sentence ("from 192.0.2.1."). A run that only
// looks like one is passed over: a version "1.2.3.4.5", "999.1.1.1", a time "10:20:30",
// the "::" of a separator, "v1.2.3.4".
std::optional<FoundAddress> FindAddress(std::string_view line);

}  // namespace summary
