#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace service {

struct AsnRecord {
    std::uint32_t number = 0;
    std::string_view organisation;
    // The same for two records with the same number and organisation, and for no others.
    std::uint64_t key = 0;
};

// The address-range to autonomous-system table, loaded once into memory and searched by
// binary search. Rows are "first,last,number,organisation": first and last are the
// inclusive range as dotted quads or as numbers, the organisation may be quoted CSV.
class AsnTable {
public:
    // Throws DataError naming the file and line of the first malformed row.
    static AsnTable Load(const std::string& path);
    static AsnTable Parse(std::string_view rows, const std::string& sourceName);

    std::optional<AsnRecord> Find(std::uint32_t address) const;
    std::size_t size() const { return m_ranges.size(); }

private:
    struct Range {
        std::uint32_t first;
        std::uint32_t last;
        std::uint32_t number;
        std::uint32_t organisation;  // index into m_organisations
    };

    std::vector<Range> m_ranges;  // sorted by first; the data has no overlapping ranges
    std::vector<std::string> m_organisations;
};

}  // namespace service
