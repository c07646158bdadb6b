#include "service/http/ReloadableData.h"

#include "service/core/data/DataError.h"

namespace service {

ReloadableData::ReloadableData(std::shared_ptr<const GeoData> data) : m_current(std::move(data)) {}

bool ReloadData(ReloadableData& data, const std::string& folder,
                const std::function<void(std::string_view line)>& log) {
    std::shared_ptr<const GeoData> fresh;
    try {
        fresh = std::make_shared<const GeoData>(folder, true);
    } catch (const DataError& error) {
        log(std::string("reload refused, still answering from the data loaded before: ") +
            error.what());
        return false;
    }
    data.Replace(std::move(fresh));
    log("data reloaded from " + folder);
    return true;
}

}  // namespace service
