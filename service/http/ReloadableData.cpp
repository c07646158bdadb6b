#include "service/http/ReloadableData.h"

#include "service/http/DataAge.h"
#include "service/http/DataSetChoice.h"

namespace service {

ReloadableData::ReloadableData(std::shared_ptr<const GeoData> data) : m_current(std::move(data)) {}

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
    data.Replace(std::move(fresh));
    log("data reloaded from " + folder);
    return true;
}

}  // namespace service
