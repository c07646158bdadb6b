#pragma once

#include "service/core/IpAddress.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace summary {

// How lines are read: each one an address (surrounding white space aside; blank lines and
// "#" comments skipped), or the first address found anywhere in it.
enum class LineReading { kWholeLine, kExtract };

struct AddressHash {
    std::size_t operator()(const service::IpAddress& address) const;
};

// Hits by address.
using AddressHits = std::unordered_map<service::IpAddress, std::uint64_t, AddressHash>;

// The hits of each address met in the lines counted, and the lines that had none. Memory
// grows with the number of different addresses only.
class VisitorTally {
public:
    explicit VisitorTally(LineReading reading) : m_reading(reading) {}

    void CountLine(std::string_view line);

    std::uint64_t lines() const { return m_lines; }
    std::uint64_t skipped() const { return m_skipped; }
    // Lines that should have been an address and were not (never when extracting).
    std::uint64_t notAddresses() const { return m_notAddresses; }
    const AddressHits& hits() const { return m_hits; }

private:
    LineReading m_reading;
    std::uint64_t m_lines = 0;
    std::uint64_t m_skipped = 0;
    std::uint64_t m_notAddresses = 0;
    AddressHits m_hits;
};

}  // namespace summary
