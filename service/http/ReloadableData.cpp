#include "service/http/ReloadableData.h"

#include "service/http/DataAge.h"
#include "service/http/DataSetChoice.h"

#include <thread>

namespace service {

ReloadableData::ReloadableData(std::shared_ptr<const GeoData> data) : m_current(std::move(data)) {}

void Retire(std::shared_ptr<const GeoData> replaced, std::chrono::milliseconds wait) {
    // Requests hold a set for the time of one answer (a batch of a thousand at most), so
    // the wait is short; past it a request still holding it frees it after all.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (replaced.use_count() > 1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool ReloadData(ReloadableData& data, const std::vector<std::string>& folders,
                const std::function<void(std::string_view line)>& log) {
    std::shared_ptr<const GeoData> fresh = LoadNewestDataSet(folders, true, log);
    if (!fresh) {
        log("reload refused, still answering from the data loaded before: no data folder "
            "holds a good set");
        return false;
    }
    const std::string folder = fresh->folder();
    WarnIfStale(fresh->record(), log);
    std::shared_ptr<const GeoData> replaced = data.Replace(std::move(fresh));
    log("data reloaded from " + folder);
    Retire(std::move(replaced), std::chrono::seconds(10));
    return true;
}

}  // namespace service
