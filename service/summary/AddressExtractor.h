#pragma once

#include "service/core/IpAddress.h"

#include <optional>
#include <string_view>

namespace summary {

// The first address anywhere in a line of a log, a CSV file or the like. An address is a
// run of address characters (hex digits, ".", ":") that stands alone: no letter, digit or "_"
// touches it. It may stand in brackets ("[2001:db8::1]:443"), carry a zone ("fe80::1%eth0",
// dropped) or a port ("192.0.2.1:8080"), and end a sentence ("from 192.0.2.1."). A run that
// only looks like one is passed over: a version "1.2.3.4.5", "999.1.1.1", a time "10:20:30",
// the "::" of a separator, "v1.2.3.4". The core's parser decides what an address is.
std::optional<service::IpAddress> FindAddress(std::string_view line);

}  // namespace summary
