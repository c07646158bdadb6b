#pragma once

#include <cstdint>
#include <vector>

// A fixed pseudo-random sample of public IPv4 addresses (none in a special-purpose block),
// the same for a seed on every machine.
std::vector<std::uint32_t> PublicSample(std::size_t count, std::uint32_t seed);
