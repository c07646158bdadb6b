#pragma once

#include <algorithm>
#include <iterator>
#include <span>

namespace service {

// The range that holds address in an array of non-overlapping ranges sorted by `first`
// (inclusive `first` and `last` members), or null.
template <typename Range, typename Address>
const Range* FindRange(std::span<const Range> ranges, const Address& address) {
    const auto after =
        std::upper_bound(ranges.begin(), ranges.end(), address,
                         [](const Address& a, const Range& r) { return a < r.first; });
    if (after == ranges.begin()) return nullptr;
    const Range& range = *std::prev(after);
    return address > range.last ? nullptr : &range;
}

}  // namespace service
