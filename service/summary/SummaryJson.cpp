#include "service/summary/SummaryOutputs.h"

#include "service/json/AnswerJson.h"

namespace summary {

std::string SummaryJson(const Summary& summary) {
    service::Json files = service::Json::object();
    for (const DataSource& source : summary.data.files) files[source.file] = source.source;
    service::Json data{
        {"made", summary.data.made.empty() ? service::Json() : service::Json(summary.data.made)},
        {"files", std::move(files)}};
    service::Json top = service::Json::object();
    for (const ListDescription& list : kLists) {
        service::Json entries = service::Json::array();
        for (const SummaryEntry& entry : summary.top[static_cast<std::size_t>(list.kind)]) {
            entries.push_back({{"name", entry.name},
                               {"hits", entry.hits},
                               {"unique", entry.unique},
                               {"share", summary.ShareOf(entry)}});
        }
        top[std::string(list.key)] = std::move(entries);
    }
    const service::Json object{{"lines", summary.lines},     {"addresses", summary.addresses},
                               {"unique", summary.unique},   {"skipped", summary.skipped},
                               {"special", summary.special}, {"data", std::move(data)},
                               {"top", std::move(top)}};
    return service::JsonText(object) + "\n";
}

}  // namespace summary
