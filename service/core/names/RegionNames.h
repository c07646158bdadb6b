#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace service {

// Chinese names of regions (states, provinces, ...) by country code and English name, from
// the generated region-names.tsv: rows "country, name key, Chinese name". A row with an
// empty Chinese name marks a region the city database gives that means nothing to show
// (DB-IP's "Taiwan" for TW).
class RegionNames {
public:
    // Throws DataError naming the file and line of the first malformed row.
    explicit RegionNames(const std::string& path);

    // The Chinese name; empty when there is none or the region is not to be shown.
    std::string_view Find(std::string_view countryCode, std::string_view englishName) const;

private:
    std::unordered_map<std::string, std::string> m_names;  // "CC\tkey" -> name
};

}  // namespace service
