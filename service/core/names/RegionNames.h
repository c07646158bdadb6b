#pragma once

#include "service/core/data/TableFile.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// Chinese names of regions (states, provinces, ...) by country code and English name, from
// the generated region-names.tsv: rows "country, name key, Chinese name". A row with an
// empty Chinese name marks a region the city database gives that means nothing to show
// (DB-IP's "Taiwan" for TW). Searched by binary search over the keys, parsed or used where
// they lie in a compiled table file.
class RegionNames {
public:
    // Throws DataError naming the file and line of the first malformed row.
    explicit RegionNames(const std::string& path);
    // The table of a compiled file, which must outlive this. Throws DataError.
    explicit RegionNames(const TableFile& file);
    RegionNames(const RegionNames&) = delete;
    RegionNames& operator=(const RegionNames&) = delete;

    void AddTo(TableWriter& writer) const;

    // The Chinese name; empty when there is none or the region is not to be shown.
    std::string_view Find(std::string_view countryCode, std::string_view englishName) const;

private:
    struct Entry {
        TextRef key;  // "CC\tkey"
        TextRef name;
    };

    std::vector<char> m_ownText;
    std::vector<Entry> m_ownEntries;
    std::string_view m_text;
    std::span<const Entry> m_entries;  // sorted by key; the first of equal keys counts
};

}  // namespace service
