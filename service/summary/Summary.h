#pragma once

#include "service/core/GeoData.h"
#include "service/core/LookupAnswer.h"
#include "service/summary/DataSources.h"
#include "service/summary/VisitorTally.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace summary {

// The lists of a summary, each naming an address by one of its answer's texts.
enum class ListKind { kCountry, kRegion, kCity, kNetwork, kOperator };
inline constexpr std::size_t kListCount = 5;

struct ListDescription {
    ListKind kind;
    std::string_view key;      // in JSON and CSV
    std::string_view heading;  // for people
};

// The lists in the order every output shows them.
inline constexpr std::array<ListDescription, kListCount> kLists{{
    {ListKind::kCountry, "country", "国家或地区"},
    {ListKind::kRegion, "region", "地区"},
    {ListKind::kCity, "city", "城市"},
    {ListKind::kNetwork, "network", "网络"},
    {ListKind::kOperator, "operator", "运营商"},
}};

// The name an answer has in each list (one line of valid UTF-8): for country the first part of the
// location line, for region the country and the region (a region without a Chinese name
// is left out rather than leaving the city in its place), for city the whole location line,
// for network the network line, for operator the Chinese operator name, else the
// organisation, else the network line. A special-purpose address has its label in all.
std::array<std::string, kListCount> ListNames(service::AnswerView answer);

struct SummaryEntry {
    std::string name;
    std::uint64_t hits = 0;
    std::uint64_t unique = 0;  // different addresses

    bool operator==(const SummaryEntry&) const = default;
};

struct Summary {
    std::uint64_t lines = 0;
    std::uint64_t addresses = 0;  // lines that held one
    std::uint64_t unique = 0;
    std::uint64_t skipped = 0;
    std::uint64_t special = 0;  // hits of addresses in special-purpose blocks
    // The top entries of each list, in the order of kLists: most hits first, then by name.
    std::array<std::vector<SummaryEntry>, kListCount> top;
    DataSources data;

    // The entry's hits as a part of all addresses (0 when there are none).
    double ShareOf(const SummaryEntry& entry) const;
};

// Each different address is looked up once, its hits added to the names its answer has.
Summary Summarise(const VisitorTally& tally, const service::GeoData& data, std::size_t top);

}  // namespace summary
