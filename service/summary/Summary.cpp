#include "service/summary/Summary.h"

#include "service/core/DisplayedValue.h"
#include "service/core/LocationText.h"
#include "service/summary/Utf8Text.h"

#include <algorithm>
#include <unordered_map>

namespace summary {
namespace {

std::string_view FirstPart(std::string_view line) {
    return line.substr(0, line.find(' '));
}

std::vector<SummaryEntry> TopEntries(std::unordered_map<std::string, SummaryEntry>& byName,
                                     std::size_t top) {
    std::vector<SummaryEntry> entries;
    entries.reserve(byName.size());
    for (auto& [name, entry] : byName) entries.push_back(std::move(entry));
    const auto higher = [](const SummaryEntry& a, const SummaryEntry& b) {
        return a.hits != b.hits ? a.hits > b.hits : a.name < b.name;
    };
    const std::size_t kept = std::min(top, entries.size());
    std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(kept),
                      entries.end(), higher);
    entries.resize(kept);
    return entries;
}

}  // namespace

std::array<std::string, kListCount> ListNames(service::AnswerView answer) {
    if (answer.specialRange) {
        const std::string label = ShownText(*answer.specialRange);
        return {label, label, label, label, label};
    }
    const std::string_view country = FirstPart(answer.location.text);
    const service::NetworkAnswer& network = answer.network;
    const std::string& operatorName = !network.operatorName.empty()   ? network.operatorName
                                      : !network.organisation.empty() ? network.organisation
                                                                      : network.text;
    return {
        ShownText(country),
        ShownText(
            service::DisplayedValue(service::LocationText({country, answer.location.region}))),
        ShownText(answer.location.text),
        ShownText(network.text),
        ShownText(service::DisplayedValue(operatorName)),
    };
}

double Summary::ShareOf(const SummaryEntry& entry) const {
    return addresses == 0 ? 0.0 : static_cast<double>(entry.hits) / static_cast<double>(addresses);
}

Summary Summarise(const VisitorTally& tally, const service::GeoData& data, std::size_t top) {
    Summary summary;
    summary.lines = tally.lines();
    summary.skipped = tally.skipped();
    summary.unique = tally.hits().size();
    std::array<std::unordered_map<std::string, SummaryEntry>, kListCount> byName;
    service::AnswerMemo memo;
    for (const auto& [address, hits] : tally.hits()) {
        const service::AnswerView answer = data.Answer(address, memo);
        summary.addresses += hits;
        if (answer.specialRange) summary.special += hits;
        std::array<std::string, kListCount> names = ListNames(answer);
        for (std::size_t list = 0; list < kListCount; ++list) {
            auto [place, added] = byName[list].try_emplace(names[list]);
            if (added) place->second.name = std::move(names[list]);
            place->second.hits += hits;
            ++place->second.unique;
        }
    }
    for (std::size_t list = 0; list < kListCount; ++list) {
        summary.top[list] = TopEntries(byName[list], top);
    }
    return summary;
}

}  // namespace summary
