#include "service/summary/VisitorTally.h"

#include "service/summary/AddressExtractor.h"

#include <functional>
#include <optional>

namespace summary {
namespace {

constexpr std::string_view kSpace = " \t\r\v\f";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

std::size_t AddressHash::operator()(const service::IpAddress& address) const {
    if (const auto* v4 = std::get_if<std::uint32_t>(&address)) {
        return std::hash<std::uint32_t>()(*v4);
    }
    const auto& v6 = std::get<service::Ipv6Address>(address);
    return std::hash<std::uint64_t>()(v6.high ^ (v6.low * 0x9e3779b97f4a7c15u));
}

void VisitorTally::CountLine(std::string_view line) {
    ++m_lines;
    std::optional<service::IpAddress> address;
    if (m_reading == LineReading::kExtract) {
        address = FindAddress(line);
    } else {
        const std::string_view text = Trimmed(line);
        if (!text.empty() && text.front() != '#') {
            address = service::ParseIpAddress(text);
            if (!address) ++m_notAddresses;
        }
    }
    if (address) {
        ++m_hits[*address];
    } else {
        ++m_skipped;
    }
}

}  // namespace summary
