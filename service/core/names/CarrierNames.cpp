#include "service/core/names/CarrierNames.h"

#include "service/core/data/TsvFile.h"

#include <charconv>

namespace service {

CarrierNames::CarrierNames(const std::string& path) {
    const std::string text = ReadTableFile(path);
    ForEachTableRow(text, path, 2, [this](std::span<const std::string_view> fields) {
        std::uint32_t number = 0;
        const std::string_view text = fields[0];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc() || end != text.data() + text.size() || fields[1].empty()) {
            return false;
        }
        m_names.emplace(number, std::string(fields[1]));
        return true;
    });
}

std::string_view CarrierNames::Find(std::uint32_t asNumber) const {
    const auto found = m_names.find(asNumber);
    return found != m_names.end() ? std::string_view(found->second) : std::string_view();
}

}  // namespace service
