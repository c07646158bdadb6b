#pragma once

#include "service/core/data/TableFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// Chinese names of the large Chinese network operators by AS number, from the generated
// carrier-names.tsv: rows "AS number, Chinese name", made from a reviewed list whose every
// row was checked against the AS table's organisation when the data were fetched. Parsed,
// or used where it lies in a compiled table file.
class CarrierNames {
public:
    // Throws DataError naming the file and line of the first malformed row.
    explicit CarrierNames(const std::string& path);
    // The table of a compiled file, which must outlive this. Throws DataError.
    explicit CarrierNames(const TableFile& file);
    CarrierNames(const CarrierNames&) = delete;
    CarrierNames& operator=(const CarrierNames&) = delete;

    void AddTo(TableWriter& writer) const;

    // The operator's Chinese name; empty for a network not in the list.
    std::string_view Find(std::uint32_t asNumber) const;

private:
    struct Entry {
        std::uint32_t asNumber;
        TextRef name;
    };

    std::vector<char> m_ownText;
    std::vector<Entry> m_ownEntries;
    std::string_view m_text;
    std::span<const Entry> m_entries;  // sorted by number; the first of equal numbers counts
};

}  // namespace service
