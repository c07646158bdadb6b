#pragma once

#include "service/core/data/DataSetRecord.h"

#include <string>

namespace service {

// What /healthz answers, in lines of plain text: "ok" first, for probes that read no
// further, then which data the answers come from, as the set records it:
//   ok
//   made 2026-07-01T03:00:00Z
//   published 2026-06-05          ("unknown" when the sources do not say)
//   source <name>@<version> <files>...   (one line per source)
std::string HealthText(const DataSetRecord& record);

}  // namespace service
