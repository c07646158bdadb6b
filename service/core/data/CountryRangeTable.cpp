#include "service/core/data/CountryRangeTable.h"

#include "service/core/data/DataError.h"
#include "service/core/data/MmdbFile.h"
#include "service/core/data/RangeSearch.h"

#include <algorithm>

namespace service {
namespace {

template <typename Address>
Address Next(const Address& address);

template <>
std::uint32_t Next(const std::uint32_t& address) {
    return address + 1;
}

template <>
Ipv6Address Next(const Ipv6Address& address) {
    return {address.high + (address.low == UINT64_MAX ? 1 : 0), address.low + 1};
}

}  // namespace

CountryRangeTable::CountryRangeTable(const TableFile& file)
    : m_ranges4(file.Array<Range<std::uint32_t>>(TableSection::kCountryRanges4)),
      m_ranges6(file.Array<Range<Ipv6Address>>(TableSection::kCountryRanges6)) {}

CountryRangeTable CountryRangeTable::FromDatabase(const std::string& path) {
    const MmdbFile database(path);
    CountryRangeTable table;
    database.ForEachNetwork(
        [&](const IpAddress& first, const IpAddress& last, const MmdbRecord& record) {
            const std::string_view code = record.String({"country_code"});
            if (!code.empty()) table.Add(first, last, code);
        });
    table.Finish();
    return table;
}

void CountryRangeTable::Add(const IpAddress& first, const IpAddress& last, std::string_view code) {
    const auto fill = [&](auto& range) {
        for (std::size_t i = 0; i < code.size() && i < 2; ++i) {
            const char c = code[i];
            range.code[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
    };
    if (const auto* v4 = std::get_if<std::uint32_t>(&first)) {
        fill(m_ownRanges4.emplace_back(Range<std::uint32_t>{*v4, std::get<std::uint32_t>(last)}));
    } else {
        fill(m_ownRanges6.emplace_back(
            Range<Ipv6Address>{std::get<Ipv6Address>(first), std::get<Ipv6Address>(last)}));
    }
}

template <typename Address>
void CountryRangeTable::SortAndJoin(std::vector<Range<Address>>& ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const Range<Address>& a, const Range<Address>& b) { return a.first < b.first; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (kept > 0) {
            Range<Address>& previous = ranges[kept - 1];
            if (ranges[i].first <= previous.last) continue;
            if (ranges[i].code == previous.code && ranges[i].first == Next(previous.last)) {
                previous.last = ranges[i].last;
                continue;
            }
        }
        ranges[kept++] = ranges[i];
    }
    ranges.resize(kept);
}

void CountryRangeTable::Finish() {
    SortAndJoin(m_ownRanges4);
    SortAndJoin(m_ownRanges6);
    m_ranges4 = m_ownRanges4;
    m_ranges6 = m_ownRanges6;
    m_index4 = Ipv4RangeIndex();  // starts found in what was there before are no longer right
}

void CountryRangeTable::AddTo(TableWriter& writer) const {
    writer.Add(TableSection::kCountryRanges4, m_ranges4);
    writer.Add(TableSection::kCountryRanges6, m_ranges6);
}

std::string_view CountryRangeTable::Find(const IpAddress& address) const {
    const auto match = FindRange(address);
    return match ? match->code : std::string_view();
}

std::optional<CountryRangeTable::Match> CountryRangeTable::FindRange(
    const IpAddress& address) const {
    const auto matchOf = [](const auto ranges, const auto* range,
                            const auto& key) -> std::optional<Match> {
        if (range == nullptr) return std::nullopt;
        const std::size_t length = range->code[0] == 0 ? 0 : range->code[1] == 0 ? 1 : 2;
        return Match{std::string_view(range->code.data(), length), SpanFound(ranges, *range, key)};
    };
    if (const auto* v4 = std::get_if<std::uint32_t>(&address)) {
        return matchOf(m_ranges4, m_index4.Find(m_ranges4, *v4), *v4);
    }
    const Ipv6Address& v6 = std::get<Ipv6Address>(address);
    return matchOf(m_ranges6, service::FindRange(m_ranges6, v6), v6);
}

}  // namespace service
