#pragma once

#include "service/core/GeoData.h"

#include <atomic>
#include <chrono>
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
    // Returns the set replaced, which requests that started before may still hold.
    std::shared_ptr<const GeoData> Replace(std::shared_ptr<const GeoData> data) {
        return m_current.exchange(std::move(data));
    }

private:
    std::atomic<std::shared_ptr<const GeoData>> m_current;
};

// Lets go of a replaced set once the requests that hold it are answered, waiting for them
// at most `wait`. Unmapping a set takes a few milliseconds and stalls every thread that
// shares the mappings for a moment; done here, on the reloading thread, that cost is not
// added to the answer of whichever request happened to hold the set last.
void Retire(std::shared_ptr<const GeoData> replaced, std::chrono::milliseconds wait);

// Loads the newest good set of the data folders anew beside the current set
// (DataSetChoice.h) and swaps it in; when none is good (checksums included: the current set
// answers meanwhile, so a reload can afford to read every byte) the reload is refused and
// the current set stays. Logs the choice, the outcome and a warning for stale data;
// returns whether a new set was taken. The set replaced is retired here.
bool ReloadData(ReloadableData& data, const std::vector<std::string>& folders,
                const std::function<void(std::string_view line)>& log);

}  // namespace service
