#pragma once

#include "service/core/data/AsnTable.h"
#include "service/core/data/CountryRangeTable.h"

#include <optional>
#include <string>
#include <vector>

namespace update {

// One source whose version changed (from is empty for a source the base set lacked).
struct SourceChange {
    std::string name;
    std::string from;
    std::string to;
};

// What the sources give a new set: each part either new or the base set's.
struct FetchedParts {
    std::vector<SourceChange> changes;     // empty: nothing new, no set is made
    std::vector<std::string> sources;      // the new set's record lines of these sources
    std::vector<std::string> databases;    // files, new ones or the base set's
    std::optional<service::AsnTable> asn;  // nothing: the base set's
    std::optional<service::CountryRangeTable> countries;  // nothing: the base set's
};

}  // namespace update
