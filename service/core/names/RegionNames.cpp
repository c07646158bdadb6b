#include "service/core/names/RegionNames.h"

#include "service/core/data/TsvFile.h"
#include "service/core/names/NameKey.h"

namespace service {
namespace {

std::string TableKey(std::string_view countryCode, std::string_view nameKey) {
    std::string key(countryCode);
    key += '\t';
    key += nameKey;
    return key;
}

}  // namespace

RegionNames::RegionNames(const std::string& path) {
    const std::string text = ReadTableFile(path);
    ForEachTableRow(text, path, 3, [this](std::span<const std::string_view> fields) {
        if (fields[0].size() != 2 || fields[1].empty()) return false;
        m_names.emplace(TableKey(fields[0], fields[1]), std::string(fields[2]));
        return true;
    });
}

std::string_view RegionNames::Find(std::string_view countryCode,
                                   std::string_view englishName) const {
    if (englishName.empty()) return {};
    const auto found = m_names.find(TableKey(countryCode, NameKey(englishName)));
    return found != m_names.end() ? std::string_view(found->second) : std::string_view();
}

}  // namespace service
