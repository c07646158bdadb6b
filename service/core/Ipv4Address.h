#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace service {

// Reads a dotted quad: four groups of one to three ASCII digits, each below 256, joined by
// single full stops and nothing else. Leading zeros are decimal (010 is ten), as the
// program's own address check reads them.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);

// The canonical dotted quad, without leading zeros.
std::string FormatIpv4(std::uint32_t address);

}  // namespace service
