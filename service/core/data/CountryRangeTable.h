#pragma once

#include "service/core/IpAddress.h"
#include "service/core/data/RangeSearch.h"
#include "service/core/data/TableFile.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// The country each address range of both families is registered to, as sorted arrays of
// ranges: made from a country database's networks or from the registries' delegation
// files, or used where it lies in a compiled table file.
class CountryRangeTable {
public:
    // An empty table to Add to.
    CountryRangeTable() = default;
    // The table of a compiled file, which must outlive this. Throws DataError.
    explicit CountryRangeTable(const TableFile& file);
    // The networks of a country database (country_code records). Throws DataError.
    static CountryRangeTable FromDatabase(const std::string& path);

    CountryRangeTable(CountryRangeTable&&) = default;
    CountryRangeTable& operator=(CountryRangeTable&&) = default;

    // Adds the range, both ends of one family, first <= last, to a table being made; code is
    // a two-letter country code.
    void Add(const IpAddress& first, const IpAddress& last, std::string_view code);
    // Sorts what was added and joins neighbours of one country; of overlapping ranges the
    // one that starts first is kept. The table answers only after this.
    void Finish();
    void AddTo(TableWriter& writer) const;

    // The upper-case code of the country the address is registered to; empty when none is.
    std::string_view Find(const IpAddress& address) const;
    // The same, with the addresses the table gives that answer for (RangeSearch.h); nothing
    // when no range holds the address.
    struct Match {
        std::string_view code;
        AddressSpan range;
    };
    std::optional<Match> FindRange(const IpAddress& address) const;
    std::size_t size() const { return m_ranges4.size() + m_ranges6.size(); }

private:
    // Fixed-width records without padding, so that the file's bytes are all defined.
    template <typename Address>
    struct Range {
        Address first;
        Address last;
        std::array<char, sizeof(Address) == 4 ? 4 : 8> code{};
    };

    template <typename Address>
    static void SortAndJoin(std::vector<Range<Address>>& ranges);

    std::vector<Range<std::uint32_t>> m_ownRanges4;
    std::vector<Range<Ipv6Address>> m_ownRanges6;
    std::span<const Range<std::uint32_t>> m_ranges4;
    std::span<const Range<Ipv6Address>> m_ranges6;
    Ipv4RangeIndex m_index4;
};

}  // namespace service
