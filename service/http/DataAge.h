#pragma once

#include "service/core/data/DataSetRecord.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace service {

// Answers go wrong as networks move: past this age the service warns that its data want
// refreshing.
inline constexpr int kStaleAfterDays = 90;

// The warning for a set older than kStaleAfterDays on the given day, by the day its sources
// were published, or when the record does not say, the day the set was made; nothing for
// a younger set or a record whose dates cannot be read.
std::optional<std::string> StaleDataWarning(const DataSetRecord& record,
                                            std::chrono::sys_days today);

// Logs that warning, if any, for today by the system clock.
void WarnIfStale(const DataSetRecord& record,
                 const std::function<void(std::string_view line)>& log);

}  // namespace service
