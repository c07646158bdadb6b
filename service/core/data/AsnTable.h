#pragma once

#include "service/core/IpAddress.h"
#include "service/core/data/MmdbFile.h"
#include "service/core/data/RangeSearch.h"
#include "service/core/data/TableFile.h"

#include <cstdint>
#include <optional>
#include <span>
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
    AddressSpan range;  // the addresses the table gives this record for (RangeSearch.h)
};

// The address-range to autonomous-system table of both families, searched by binary search
// in sorted arrays: parsed from the source rows, or used where they lie in a compiled table
// file. Rows are "first,last,number,organisation": first and last are the inclusive range as
// dotted quads, as numbers (IPv4) or as IPv6 addresses, the organisation may be quoted CSV.
class AsnTable {
public:
    // The rows of all the files, which may mix the families. Throws DataError naming the
    // file and line of the first malformed row.
    static AsnTable Load(const std::vector<std::string>& paths);
    static AsnTable Parse(std::string_view rows, const std::string& sourceName);
    // The networks of an AS database (autonomous_system_number and _organization records,
    // both families in one file). Throws DataError.
    static AsnTable FromDatabase(const std::string& path);
    // The tables of a compiled file, which must outlive this. Throws DataError.
    explicit AsnTable(const TableFile& file);

    AsnTable(AsnTable&&) = default;
    AsnTable& operator=(AsnTable&&) = default;

    void AddTo(TableWriter& writer) const;

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
    using OrganisationIndex = std::unordered_map<std::string, std::uint32_t>;

    AsnTable() = default;
    void Add(std::string_view rows, const std::string& sourceName, OrganisationIndex& index);
    void AddRange(const IpAddress& first, const IpAddress& last, std::uint32_t number,
                  std::string_view organisation, OrganisationIndex& index);
    void Sort();
    // The record of the range found in ranges for address; nothing for none.
    template <typename Address>
    std::optional<AsnRecord> RecordOf(std::span<const Range<Address>> ranges,
                                      const Range<Address>* range, const Address& address) const;

    // Parsed tables own their arrays; the views are what lookups read, sorted by first (the
    // data do not overlap).
    std::vector<Range<std::uint32_t>> m_ownRanges4;
    std::vector<Range<Ipv6Address>> m_ownRanges6;
    std::vector<TextRef> m_ownOrganisations;
    std::vector<char> m_ownText;
    std::span<const Range<std::uint32_t>> m_ranges4;
    std::span<const Range<Ipv6Address>> m_ranges6;
    std::span<const TextRef> m_organisations;
    std::string_view m_text;
    Ipv4RangeIndex m_index4;
};

}  // namespace service
