#include "service/update/BaseSet.h"

#include "service/core/GeoData.h"
#include "service/core/data/DataError.h"
#include "service/update/UpdateError.h"

#include <algorithm>
#include <filesystem>

namespace update {
namespace {

service::GeoData CheckedSet(const std::string& folder) {
    try {
        return service::GeoData(folder);
    } catch (const service::DataError& error) {
        throw UpdateError(std::string("no data set to update: ") + error.what() +
                          " (make geodata or the lokaro-geodata package makes one)");
    }
}

std::string TablesOf(const std::string& folder) {
    return (std::filesystem::path(folder) / service::kTablesFile).string();
}

// The sources that the location answers come from, which an update replaces.
bool IsLocationSource(std::string_view name) {
    return name.starts_with("@ip-location-db/") || name.starts_with("dbip-") ||
           name.starts_with("delegated-");
}

}  // namespace

std::pair<std::string, std::string> SourceNameAndVersion(std::string_view line) {
    const std::string_view word = line.substr(0, line.find(' '));
    const std::size_t at = word.rfind('@');
    if (at == std::string_view::npos || at == 0) return {std::string(word), {}};
    return {std::string(word.substr(0, at)), std::string(word.substr(at + 1))};
}

BaseSet::BaseSet(const std::string& folder)
    : m_folder(CheckedSet(folder).folder()),
      m_record(service::ReadDataSetRecord(m_folder)),
      m_tables(TablesOf(m_folder)) {}

std::optional<std::time_t> BaseSet::made() const {
    std::tm utc{};
    const char* end = strptime(m_record.made.c_str(), "%Y-%m-%dT%H:%M:%SZ", &utc);
    if (end == nullptr || *end != '\0') return std::nullopt;
    return timegm(&utc);
}

std::optional<std::string> BaseSet::VersionOf(std::string_view source) const {
    for (const std::string& line : m_record.sources) {
        auto [name, version] = SourceNameAndVersion(line);
        if (name == source) return version;
    }
    return std::nullopt;
}

bool BaseSet::Holds(std::string_view file) const {
    return std::any_of(m_record.files.begin(), m_record.files.end(),
                       [&](const service::DataSetRecord::File& f) { return f.name == file; });
}

std::string BaseSet::PathOf(std::string_view file) const {
    return (std::filesystem::path(m_folder) / file).string();
}

std::vector<std::string> BaseSet::NameTableSources() const {
    std::vector<std::string> lines;
    for (const std::string& line : m_record.sources) {
        if (!IsLocationSource(SourceNameAndVersion(line).first)) lines.push_back(line);
    }
    return lines;
}

}  // namespace update
