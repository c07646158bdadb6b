#include "service/http/DataSetChoice.h"

#include "service/core/data/DataError.h"
#include "service/core/data/DataSetLocation.h"

#include <algorithm>
#include <optional>

namespace service {
namespace {

struct Candidate {
    std::string folder;
    std::string made;  // ISO 8601 in UTC, which sorts as text
};

}  // namespace

std::shared_ptr<const GeoData> LoadNewestDataSet(
    const std::vector<std::string>& folders, bool checksums,
    const std::function<void(std::string_view line)>& log) {
    std::vector<Candidate> candidates;
    for (const std::string& folder : folders) {
        try {
            candidates.push_back({folder, ReadDataSetRecord(DataSetFolder(folder)).made});
        } catch (const DataError& error) {
            log("data: skipped " + folder + ": " + error.what());
        }
    }
    // Stable, so that among sets made at the same moment the folder given first wins.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.made > b.made; });

    std::shared_ptr<const GeoData> chosen;
    for (const Candidate& candidate : candidates) {
        if (chosen) {
            log("data: skipped " + candidate.folder + ": its set (made " + candidate.made +
                ") is older than " + chosen->folder() + " (made " + chosen->record().made + ")");
            continue;
        }
        try {
            chosen = std::make_shared<const GeoData>(candidate.folder, checksums);
        } catch (const DataError& error) {
            log("data: skipped " + candidate.folder + ": " + error.what());
        }
    }
    if (chosen) {
        log("data: answering from " + chosen->folder() + " (made " + chosen->record().made +
            (chosen->record().published.empty()
                 ? std::string()
                 : ", sources published " + chosen->record().published) +
            ")");
    }
    return chosen;
}

}  // namespace service
