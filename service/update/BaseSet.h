#pragma once

#include "service/core/data/DataSetRecord.h"
#include "service/core/data/TableFile.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace update {

// The set an update starts from (the store's set in use, else the one it was given): what
// a source has not changed is taken from it, and so are the Chinese name tables.
class BaseSet {
public:
    // Throws UpdateError when the folder holds no good set.
    explicit BaseSet(const std::string& folder);

    const std::string& folder() const { return m_folder; }
    const service::DataSetRecord& record() const { return m_record; }
    const service::TableFile& tables() const { return m_tables; }
    // When it was made; nothing when its record does not say in a readable form.
    std::optional<std::time_t> made() const;

    // The version of the source its record names so ("name@version files..."), if any.
    std::optional<std::string> VersionOf(std::string_view source) const;
    // Whether the set holds the file, and its path.
    bool Holds(std::string_view file) const;
    std::string PathOf(std::string_view file) const;
    // Its record's lines of sources other than the location databases' (the name tables').
    std::vector<std::string> NameTableSources() const;

private:
    std::string m_folder;
    service::DataSetRecord m_record;
    service::TableFile m_tables;
};

// A source record line's name and version.
std::pair<std::string, std::string> SourceNameAndVersion(std::string_view line);

}  // namespace update
