#pragma once

#include "service/core/GeoData.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

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

// Loads the data folder anew beside the current set and swaps it in; a folder that is
// missing or damaged (its checksums included: the current set answers meanwhile, so a
// reload can afford to read every byte) is refused and the current set stays. Reports the outcome
// as one line to log; returns whether the new set was taken.
bool ReloadData(ReloadableData& data, const std::string& folder,
                const std::function<void(std::string_view line)>& log);

}  // namespace service
