#pragma once

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

// The sources of a data folder's files as scripts/fetch-geodata recorded them in its SOURCES
// file ("PACKAGE@VERSION [(NOTE)] FILE..." a line), a file once, in the order first named;
// nothing when the folder has no such file.
std::vector<DataSource> ReadDataSources(const std::string& folder);

}  // namespace summary
