#include "service/core/names/RegionNames.h"

#include "service/core/data/TsvFile.h"
#include "service/core/names/NameKey.h"

#include <algorithm>

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
    const std::string rows = ReadTableFile(path);
    ForEachTableRow(rows, path, 3, [this](std::span<const std::string_view> fields) {
        if (fields[0].size() != 2 || fields[1].empty()) return false;
        const TextRef key = AppendText(m_ownText, TableKey(fields[0], fields[1]));
        m_ownEntries.push_back(Entry{key, AppendText(m_ownText, fields[2])});
        return true;
    });
    m_text = std::string_view(m_ownText.data(), m_ownText.size());
    std::stable_sort(m_ownEntries.begin(), m_ownEntries.end(),
                     [this](const Entry& a, const Entry& b) {
                         return TextAt(m_text, a.key) < TextAt(m_text, b.key);
                     });
    m_entries = m_ownEntries;
}

RegionNames::RegionNames(const TableFile& file)
    : m_text(file.Text(TableSection::kRegionText)),
      m_entries(file.Array<Entry>(TableSection::kRegionEntries)) {}

void RegionNames::AddTo(TableWriter& writer) const {
    writer.Add(TableSection::kRegionText, m_text);
    writer.Add(TableSection::kRegionEntries, m_entries);
}

std::string_view RegionNames::Find(std::string_view countryCode,
                                   std::string_view englishName) const {
    if (englishName.empty()) return {};
    const std::string key = TableKey(countryCode, NameKey(englishName));
    const auto found = std::lower_bound(
        m_entries.begin(), m_entries.end(), key,
        [this](const Entry& entry, const std::string& k) { return TextAt(m_text, entry.key) < k; });
    if (found == m_entries.end() || TextAt(m_text, found->key) != key) return {};
    return TextAt(m_text, found->name);
}

}  // namespace service
