#pragma once

#include "service/core/GeoData.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// The data set the service answers from, replaceable while requests run. A request takes
// the set that is current when it starts and holds it until it is answered, so a replaced
// set is freed when its last request is done.
class ReloadableData {
public:
    explicit ReloadableData(std::shared_ptr<const GeoData> data);

    std::shared_ptr<const GeoData> Current() const { return m_current.load(); }
    void Replace(std::shared_ptr<const GeoData> data) { m_current.store(std::move(data)); }

private:
    std::atomic<std::shared_ptr<const GeoData>> m_current;
};

// Loads the newest good set of the data folders anew beside the current set
// (DataSetChoice.h) and swaps it in; when none is good (checksums included: the current set
// answers meanwhile, so a reload can afford to read every byte) the reload is refused and
// the current set stays. Logs the choice, the outcome and a warning for stale data;
// returns whether a new set was taken.
bool ReloadData(ReloadableData& data, const std::vector<std::string>& folders,
                const std::function<void(std::string_view line)>& log);

}  // namespace service
