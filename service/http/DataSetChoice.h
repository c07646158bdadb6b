#pragma once

#include "service/core/GeoData.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace service {

// Which of several data folders the service answers from: the newest set by its record's
// `made`, the folder given first among sets made at the same moment, among those that
// load. A package's set beside a store the updater keeps fresh thus gives way to the
// store as soon as it holds a newer set, and back again when the package brings a newer
// one or the store's set is damaged.
//
// The records are read first and the sets loaded newest first until one loads, so an
// older set costs only its record. Every folder passed over gets one line to log saying
// why (its set is damaged, or older than the one chosen), and the choice one line naming
// the set and when it was made. Returns null, having logged why for each, when none loads.
std::shared_ptr<const GeoData> LoadNewestDataSet(
    const std::vector<std::string>& folders, bool checksums,
    const std::function<void(std::string_view line)>& log);

}  // namespace service
