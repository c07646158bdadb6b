#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace service {

// The label of a special-purpose block (loopback, private, shared, link-local, multicast,
// broadcast, reserved) that holds the address, in UTF-8; nothing for an ordinary address.
// The service answers these from the table alone and never asks a database about them.
std::optional<std::string_view> SpecialRangeLabel(std::uint32_t address);

}  // namespace service
