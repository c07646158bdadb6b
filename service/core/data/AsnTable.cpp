#include "service/core/data/AsnTable.h"

#include "service/core/Ipv4Address.h"
#include "service/core/data/DataError.h"
#include "service/core/data/TsvFile.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace service {
namespace {

// Splits one CSV row into the first `count` of fields, whose storage is kept from row to
// row; a quoted part of a field may hold commas and doubled quotes. False when a quote is
// left open.
bool SplitCsvRow(std::string_view row, std::vector<std::string>& fields, std::size_t& count) {
    count = 0;
    const auto nextField = [&]() -> std::string& {
        if (count == fields.size()) fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        return field;
    };
    std::string* field = &nextField();
    for (std::size_t i = 0; i <= row.size();) {
        const auto next = std::find_if(row.begin() + static_cast<std::ptrdiff_t>(i), row.end(),
                                       [](char c) { return c == ',' || c == '"'; });
        const auto mark = static_cast<std::size_t>(next - row.begin());
        field->append(row.substr(i, mark - i));
        if (next == row.end()) break;
        i = mark + 1;
        if (row[mark] == ',') {
            field = &nextField();
            continue;
        }
        // Inside quotes up to the closing quote; a doubled quote stands for one.
        while (true) {
            const std::size_t quote = row.find('"', i);
            if (quote == std::string_view::npos) return false;
            field->append(row.substr(i, quote - i));
            i = quote + 1;
            if (i >= row.size() || row[i] != '"') break;
            *field += '"';
            ++i;
        }
    }
    return true;
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
    return Parse(ReadTableFile(path), path);
}

AsnTable AsnTable::Parse(std::string_view rows, const std::string& sourceName) {
    AsnTable table;
    std::unordered_map<std::string, std::uint32_t> organisationIndex;
    std::vector<std::string> fields;
    std::size_t count = 0;
    for (std::size_t lineNumber = 1; !rows.empty(); ++lineNumber) {
        const std::size_t end = rows.find('\n');
        std::string_view row = rows.substr(0, end);
        rows.remove_prefix(end == std::string_view::npos ? rows.size() : end + 1);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (row.empty()) continue;
        const auto fail = [&] {
            return DataError(sourceName + ":" + std::to_string(lineNumber) +
                             ": not a first,last,number,organisation row");
        };
        if (!SplitCsvRow(row, fields, count) || count != 4) throw fail();
        const auto first = ParseRangeEnd(fields[0]);
        const auto last = ParseRangeEnd(fields[1]);
        const auto number = ParseNumber(fields[2]);
        if (!first || !last || !number || *last < *first) throw fail();

        const auto [entry, added] = organisationIndex.try_emplace(
            fields[3], static_cast<std::uint32_t>(table.m_organisations.size()));
        if (added) table.m_organisations.push_back(fields[3]);
        table.m_ranges.push_back(Range{*first, *last, *number, entry->second});
    }
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
    return AsnRecord{range.number, m_organisations[range.organisation],
                     std::uint64_t{range.number} << 32 | range.organisation};
}

}  // namespace service
