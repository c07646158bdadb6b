#pragma once

#include "service/core/data/DataSetRecord.h"

#include <string>
#include <vector>

namespace summary {

// Where one data file came from: the packages and versions it was made from (the version of
// a fetched database ends in its release date and hour).
struct DataSource {
    std::string file;
    std::string source;  // several sources joined by "; "

    bool operator==(const DataSource&) const = default;
};

struct DataSources {
    std::string made;  // when the data set was compiled, UTC, ISO 8601
    std::vector<DataSource> files;

    bool operator==(const DataSources&) const = default;
};

// What a data set records of its sources ("PACKAGE@VERSION [(NOTE)] FILE..." each), a file
// once, in the order first named.
DataSources SourcesOf(const service::DataSetRecord& record);

}  // namespace summary
