#pragma once

#include "service/core/IpAddress.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>

namespace service {

// The range that holds address in an array of ranges sorted by `first` (inclusive `first`
// and `last` members), or null. Where ranges overlap, the one that starts last before the
// address is asked, and only it.
template <typename Range, typename Address>
const Range* FindRange(std::span<const Range> ranges, const Address& address) {
    const auto after =
        std::upper_bound(ranges.begin(), ranges.end(), address,
                         [](const Address& a, const Range& r) { return a < r.first; });
    if (after == ranges.begin()) return nullptr;
    const Range& range = *std::prev(after);
    return address > range.last ? nullptr : &range;
}

inline std::uint32_t AddressBefore(std::uint32_t address) {
    return address - 1;
}

inline Ipv6Address AddressBefore(const Ipv6Address& address) {
    return address.low != 0 ? Ipv6Address{address.high, address.low - 1}
                            : Ipv6Address{address.high - 1, ~std::uint64_t{0}};
}

// The addresses for which FindRange gives the range, one of the array's: from its first to
// its last, or to just before the next range where that one starts inside it.
template <typename Range>
AddressSpan SpanFound(std::span<const Range> ranges, const Range& range) {
    const Range* next = &range + 1;
    if (next != ranges.data() + ranges.size() && next->first <= range.last) {
        return {range.first, AddressBefore(next->first)};
    }
    return {range.first, range.last};
}

}  // namespace service
