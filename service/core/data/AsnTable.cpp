#include "service/core/data/AsnTable.h"

#include "service/core/IpAddress.h"
#include "service/core/WholeNumber.h"
#include "service/core/data/DataError.h"
#include "service/core/data/RangeSearch.h"
#include "service/core/data/TsvFile.h"

#include <algorithm>
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

std::optional<IpAddress> ParseRangeEnd(std::string_view text) {
    if (text.find_first_of(".:") != std::string_view::npos) return ParseIpAddress(text);
    if (const auto number = WholeNumber<std::uint32_t>(text)) return IpAddress(*number);
    return std::nullopt;
}

template <typename Range>
void SortByFirst(std::vector<Range>& ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return a.first < b.first; });
}

}  // namespace

AsnTable AsnTable::Load(const std::vector<std::string>& paths) {
    AsnTable table;
    OrganisationIndex index;
    for (const std::string& path : paths) table.Add(ReadTableFile(path), path, index);
    table.Sort();
    return table;
}

AsnTable AsnTable::Parse(std::string_view rows, const std::string& sourceName) {
    AsnTable table;
    OrganisationIndex index;
    table.Add(rows, sourceName, index);
    table.Sort();
    return table;
}

AsnTable AsnTable::FromDatabase(const std::string& path) {
    const MmdbFile database(path);
    AsnTable table;
    OrganisationIndex index;
    database.ForEachNetwork(
        [&](const IpAddress& first, const IpAddress& last, const MmdbRecord& record) {
            const auto number = record.Number({"autonomous_system_number"});
            if (!number || *number < 0 || *number > 0xFFFFFFFF) {
                throw DataError(path + ": a network without an AS number");
            }
            table.AddRange(first, last, static_cast<std::uint32_t>(*number),
                           record.String({"autonomous_system_organization"}), index);
        });
    table.Sort();
    return table;
}

AsnTable::AsnTable(const TableFile& file)
    : m_ranges4(file.Array<Range<std::uint32_t>>(TableSection::kAsnRanges4)),
      m_ranges6(file.Array<Range<Ipv6Address>>(TableSection::kAsnRanges6)),
      m_organisations(file.Array<TextRef>(TableSection::kAsnOrganisations)),
      m_text(file.Text(TableSection::kAsnText)) {}

void AsnTable::AddTo(TableWriter& writer) const {
    writer.Add(TableSection::kAsnRanges4, m_ranges4);
    writer.Add(TableSection::kAsnRanges6, m_ranges6);
    writer.Add(TableSection::kAsnOrganisations, m_organisations);
    writer.Add(TableSection::kAsnText, m_text);
}

void AsnTable::Add(std::string_view rows, const std::string& sourceName, OrganisationIndex& index) {
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
        const auto number = WholeNumber<std::uint32_t>(fields[2]);
        // Both ends of one family (variants order by family first).
        if (!first || !last || !number || first->index() != last->index() || *last < *first) {
            throw fail();
        }

        AddRange(*first, *last, *number, fields[3], index);
    }
}

void AsnTable::AddRange(const IpAddress& first, const IpAddress& last, std::uint32_t number,
                        std::string_view organisation, OrganisationIndex& index) {
    const auto [entry, added] = index.try_emplace(
        std::string(organisation), static_cast<std::uint32_t>(m_ownOrganisations.size()));
    if (added) m_ownOrganisations.push_back(AppendText(m_ownText, organisation));
    if (const auto* v4 = std::get_if<std::uint32_t>(&first)) {
        m_ownRanges4.push_back({*v4, std::get<std::uint32_t>(last), number, entry->second});
    } else {
        m_ownRanges6.push_back(
            {std::get<Ipv6Address>(first), std::get<Ipv6Address>(last), number, entry->second});
    }
}

void AsnTable::Sort() {
    SortByFirst(m_ownRanges4);
    SortByFirst(m_ownRanges6);
    m_ranges4 = m_ownRanges4;
    m_ranges6 = m_ownRanges6;
    m_index4 = Ipv4RangeIndex();  // starts found in what was there before are no longer right
    m_organisations = m_ownOrganisations;
    m_text = std::string_view(m_ownText.data(), m_ownText.size());
}

std::optional<AsnRecord> AsnTable::Find(const IpAddress& address) const {
    if (const auto* v4 = std::get_if<std::uint32_t>(&address)) {
        return RecordOf(m_ranges4, m_index4.Find(m_ranges4, *v4), *v4);
    }
    const Ipv6Address& v6 = std::get<Ipv6Address>(address);
    return RecordOf(m_ranges6, FindRange(m_ranges6, v6), v6);
}

template <typename Address>
std::optional<AsnRecord> AsnTable::RecordOf(std::span<const Range<Address>> ranges,
                                            const Range<Address>* range,
                                            const Address& address) const {
    if (range == nullptr) return std::nullopt;
    // A compiled file's index is checked here, where it is used, not at open.
    const std::string_view organisation = range->organisation < m_organisations.size()
                                              ? TextAt(m_text, m_organisations[range->organisation])
                                              : std::string_view();
    return AsnRecord{range->number, organisation,
                     std::uint64_t{range->number} << 32 | range->organisation,
                     SpanFound(ranges, *range, address)};
}

}  // namespace service
