#include "service/summary/VisitorTally.h"

#include "service/core/Ipv4Address.h"
#include "service/summary/AddressExtractor.h"

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

void VisitorTally::CountLine(std::string_view line) {
    ++m_lines;
    std::optional<std::uint32_t> address;
    if (m_reading == LineReading::kExtract) {
        if (const auto found = FindAddress(line)) address = found->ipv4;
    } else {
        const std::string_view text = Trimmed(line);
        if (!text.empty() && text.front() != '#') {
            address = service::ParseIpv4(text);
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
