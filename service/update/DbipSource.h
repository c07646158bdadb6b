#pragma once

#include "service/update/BaseSet.h"
#include "service/update/Downloader.h"
#include "service/update/FetchedParts.h"

#include <ctime>
#include <string>

namespace update {

// DB-IP's free monthly databases (city, and AS numbers with their organisations, both
// families in each) and the regional registries' delegation files for the registered
// country. A month's database is asked for only when the base set has an older one: this
// month's, else last month's (published in the first days of a month). The delegation
// files are asked for with If-Modified-Since the base set was made, and count as new only
// when their date changed. New files are downloaded into work.
FetchedParts FetchDbip(Downloader& downloader, const BaseSet& base, const std::string& work,
                       std::time_t now);

}  // namespace update
