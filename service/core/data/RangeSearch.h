#pragma once

#include "service/core/IpAddress.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>

namespace service {

// The range that holds address in an array of ranges sorted by `first` (inclusive `first`
// and `last` members), or null. Where ranges overlap, the one that starts last before the
// address is asked, and only it. When it is known that the ranges before `from` start at or
// before the address and those from `to` on after it, only those between are searched.
template <typename Range, typename Address>
const Range* FindRange(std::span<const Range> ranges, const Address& address, std::size_t from = 0,
                       std::size_t to = SIZE_MAX) {
    const auto after =
        std::upper_bound(ranges.begin() + static_cast<std::ptrdiff_t>(from),
                         ranges.begin() + static_cast<std::ptrdiff_t>(std::min(to, ranges.size())),
                         address, [](const Address& a, const Range& r) { return a < r.first; });
    if (after == ranges.begin()) return nullptr;
    const Range& range = *std::prev(after);
    return address > range.last ? nullptr : &range;
}

// Where the ranges that start in each /12 block of IPv4 addresses begin in a sorted array,
// so that a search halves the few ranges of one block instead of the whole array: two or
// three misses of the processor's cache instead of one for nearly every halving. A block's
// start is found when a search first needs it, so that a program that answers one address
// reads no more of the array than before. Any number of threads may search at once: they
// find the same starts.
class Ipv4RangeIndex {
public:
    Ipv4RangeIndex() : m_starts(std::make_unique<std::atomic<std::uint32_t>[]>(kBlocks + 1)) {
        for (std::size_t block = 0; block <= kBlocks; ++block) {
            m_starts[block].store(kUnknown, std::memory_order_relaxed);
        }
    }

    template <typename Range>
    const Range* Find(std::span<const Range> ranges, std::uint32_t address) const {
        const std::size_t block = address >> kHostBits;
        const std::size_t from = StartOf(ranges, block);
        const std::size_t to = StartOf(ranges, block + 1);
        // Starts out of order come only from a damaged file's unsorted array.
        return from <= to ? FindRange(ranges, address, from, to) : FindRange(ranges, address);
    }

private:
    static constexpr unsigned kHostBits = 20;
    static constexpr std::size_t kBlocks = std::size_t{1} << (32 - kHostBits);
    static constexpr std::uint32_t kUnknown = UINT32_MAX;

    // The first range that starts in the block or after it.
    template <typename Range>
    std::size_t StartOf(std::span<const Range> ranges, std::size_t block) const {
        std::uint32_t start = m_starts[block].load(std::memory_order_relaxed);
        if (start == kUnknown) {
            const std::uint64_t blockFirst = std::uint64_t{block} << kHostBits;
            start = static_cast<std::uint32_t>(
                std::lower_bound(ranges.begin(), ranges.end(), blockFirst,
                                 [](const Range& r, std::uint64_t a) { return r.first < a; }) -
                ranges.begin());
            m_starts[block].store(start, std::memory_order_relaxed);
        }
        return start;
    }

    std::unique_ptr<std::atomic<std::uint32_t>[]> m_starts;
};

inline std::uint32_t AddressBefore(std::uint32_t address) {
    return address - 1;
}

inline Ipv6Address AddressBefore(const Ipv6Address& address) {
    return address.low != 0 ? Ipv6Address{address.high, address.low - 1}
                            : Ipv6Address{address.high - 1, ~std::uint64_t{0}};
}

// The addresses for which FindRange gives the range it found for address: from the range's
// first to its last, or to just before the next range where that one starts inside it. In
// a damaged file's unsorted array, where that need not hold the address, the address alone.
template <typename Range, typename Address>
AddressSpan SpanFound(std::span<const Range> ranges, const Range& range, const Address& address) {
    const Range* next = &range + 1;
    const Address last = next != ranges.data() + ranges.size() && next->first <= range.last
                             ? AddressBefore(next->first)
                             : range.last;
    if (address < range.first || address > last) return {address, address};
    return {range.first, last};
}

}  // namespace service
