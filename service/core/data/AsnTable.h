#pragma once

#include "service/core/IpAddress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace service {

struct AsnRecord {
    std::uint32_t number = 0;
    std::string_view organisation;
    // The same for two records with the same number and organisation, and for no others.
    std::uint64_t key = 0;
};

// The address-range to autonomous-system table of both families, loaded once into memory
// and searched by binary search. Rows are "first,last,number,organisation": first and last
// are the inclusive range as dotted quads, as numbers (IPv4) or as IPv6 addresses, the
// organisation may be quoted CSV.
class AsnTable {
public:
    // The rows of all the files, which may mix the families. Throws DataError naming the
    // file and line of the first malformed row.
    static AsnTable Load(const std::vector<std::string>& paths);
    static AsnTable Parse(std::string_view rows, const std::string& sourceName);

    std::optional<AsnRecord> Find(const IpAddress& address) const;
    std::size_t size() const { return m_ranges4.size() + m_ranges6.size(); }

private:
    template <typename Address>
    struct Range {
        Address first;
        Address last;
        std::uint32_t number;
        std::uint32_t organisation;  // index into m_organisations
    };
    template <typename Address>
    using Ranges = std::vector<Range<Address>>;  // sorted by first; the data do not overlap

    void Add(std::string_view rows, const std::string& sourceName);
    template <typename Address>
    std::optional<AsnRecord> FindIn(const Ranges<Address>& ranges, const Address& address) const;

    Ranges<std::uint32_t> m_ranges4;
    Ranges<Ipv6Address> m_ranges6;
    std::vector<std::string> m_organisations;
    std::unordered_map<std::string, std::uint32_t> m_organisationIndex;
};

}  // namespace service
