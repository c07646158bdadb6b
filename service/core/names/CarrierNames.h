#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace service {

// Chinese names of the large Chinese network operators by AS number, from the generated
// carrier-names.tsv: rows "AS number, Chinese name", made from a reviewed list whose every
// row was checked against the AS table's organisation when the data were fetched.
class CarrierNames {
public:
    // Throws DataError naming the file and line of the first malformed row.
    explicit CarrierNames(const std::string& path);

    // The operator's Chinese name; empty for a network not in the list.
    std::string_view Find(std::uint32_t asNumber) const;

private:
    std::unordered_map<std::uint32_t, std::string> m_names;
};

}  // namespace service
