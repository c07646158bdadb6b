#include "AsnTable.h"

#include "DataError.h"
#include "Ipv4Address.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <unordered_map>

namespace service {
namespace {

// Splits one CSV row; a quoted field may hold commas and doubled quotes.
std::optional<std::vector<std::string>> SplitCsvRow(std::string_view row) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (quoted) {
            if (c != '"') {
                fields.back() += c;
            } else if (i + 1 < row.size() && row[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted) return std::nullopt;
    return fields;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParseRangeEnd(std::string_view text) {
    return text.find('.') != std::string_view::npos ? ParseIpv4(text) : ParseNumber(text);
}

}  // namespace

AsnTable AsnTable::Load(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw DataError(path + ": cannot be opened");
    return Parse(file, path);
}

AsnTable AsnTable::Parse(std::istream& rows, const std::string& sourceName) {
    AsnTable table;
    std::unordered_map<std::string, std::uint32_t> organisationIndex;
    std::string row;
    for (std::size_t lineNumber = 1; std::getline(rows, row); ++lineNumber) {
        if (!row.empty() && row.back() == '\r') row.pop_back();
        if (row.empty()) continue;
        const auto fields = SplitCsvRow(row);
        const auto fail = [&] {
            return DataError(sourceName + ":" + std::to_string(lineNumber) +
                             ": not a first,last,number,organisation row");
        };
        if (!fields || fields->size() != 4) throw fail();
        const auto first = ParseRangeEnd((*fields)[0]);
        const auto last = ParseRangeEnd((*fields)[1]);
        const auto number = ParseNumber((*fields)[2]);
        if (!first || !last || !number || *last < *first) throw fail();

        const auto [entry, added] = organisationIndex.try_emplace(
            (*fields)[3], static_cast<std::uint32_t>(table.m_organisations.size()));
        if (added) table.m_organisations.push_back((*fields)[3]);
        table.m_ranges.push_back(Range{*first, *last, *number, entry->second});
    }
    if (rows.bad()) throw DataError(sourceName + ": read error");
    std::sort(table.m_ranges.begin(), table.m_ranges.end(),
              [](const Range& a, const Range& b) { return a.first < b.first; });
    return table;
}

std::optional<AsnRecord> AsnTable::Find(std::uint32_t address) const {
    auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), address,
                                  [](std::uint32_t a, const Range& r) { return a < r.first; });
    if (after == m_ranges.begin()) return std::nullopt;
    const Range& range = *std::prev(after);
    if (address > range.last) return std::nullopt;
    return AsnRecord{range.number, m_organisations[range.organisation]};
}

}  // namespace service
