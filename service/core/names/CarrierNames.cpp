#include "service/core/names/CarrierNames.h"

#include "service/core/data/TsvFile.h"

#include <algorithm>
#include <charconv>

namespace service {

CarrierNames::CarrierNames(const std::string& path) {
    const std::string rows = ReadTableFile(path);
    ForEachTableRow(rows, path, 2, [this](std::span<const std::string_view> fields) {
        std::uint32_t number = 0;
        const std::string_view text = fields[0];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size() || fields[1].empty()) {
            return false;
        }
        m_ownEntries.push_back(Entry{number, AppendText(m_ownText, fields[1])});
        return true;
    });
    std::stable_sort(m_ownEntries.begin(), m_ownEntries.end(),
                     [](const Entry& a, const Entry& b) { return a.asNumber < b.asNumber; });
    m_text = std::string_view(m_ownText.data(), m_ownText.size());
    m_entries = m_ownEntries;
}

CarrierNames::CarrierNames(const TableFile& file)
    : m_text(file.Text(TableSection::kCarrierText)),
      m_entries(file.Array<Entry>(TableSection::kCarrierEntries)) {}

void CarrierNames::AddTo(TableWriter& writer) const {
    writer.Add(TableSection::kCarrierText, m_text);
    writer.Add(TableSection::kCarrierEntries, m_entries);
}

std::string_view CarrierNames::Find(std::uint32_t asNumber) const {
    const auto found = std::lower_bound(
        m_entries.begin(), m_entries.end(), asNumber,
        [](const Entry& entry, std::uint32_t number) { return entry.asNumber < number; });
    if (found == m_entries.end() || found->asNumber != asNumber) return {};
    return TextAt(m_text, found->name);
}

}  // namespace service
