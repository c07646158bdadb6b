#include "service/summary/AddressExtractor.h"

#include "service/core/Ipv4Address.h"

#include <algorithm>

namespace summary {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsAddressCharacter(char c) {
    return IsHexDigit(c) || c == '.' || c == ':';
}

// A character that, touching a run, makes the run part of a longer word or number.
bool IsWordCharacter(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// What may follow the "%" of a zone: an interface name or number.
bool IsZoneCharacter(char c) {
    return IsWordCharacter(c) || c == '-' || c == '.' || c == '~';
}

// The address a standing-alone run holds, if any.
std::optional<service::IpAddress> AddressIn(std::string_view run) {
    // A full stop after the address ends the sentence it stands in.
    run = run.substr(0, run.find_last_not_of('.') + 1);
    if (auto address = service::ParseIpAddress(run)) {
        // The unspecified address ("::", "::0") is no visitor's; "::" as a word separates.
        if (*address == service::IpAddress(service::Ipv6Address{})) return std::nullopt;
        return address;
    }
    // An IPv4 address with a port, or followed by the colon of a label.
    const std::size_t colon = run.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view port = run.substr(colon + 1);
    if (!std::all_of(port.begin(), port.end(), IsDigit)) return std::nullopt;
    if (const auto address = service::ParseIpv4(run.substr(0, colon))) return *address;
    return std::nullopt;
}

}  // namespace

std::optional<service::IpAddress> FindAddress(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size()) {
        if (!IsAddressCharacter(line[i])) {
            ++i;
            continue;
        }
        const bool wordBefore = i > 0 && IsWordCharacter(line[i - 1]);
        std::size_t end = i;
        while (end < line.size() && IsAddressCharacter(line[end])) ++end;
        const std::string_view run = line.substr(i, end - i);
        std::size_t next = end;
        if (next < line.size() && line[next] == '%' && run.find(':') != std::string_view::npos) {
            ++next;
            while (next < line.size() && IsZoneCharacter(line[next])) ++next;
        }
        const bool wordAfter = next < line.size() && IsWordCharacter(line[next]);
        if (!wordBefore && !wordAfter) {
            if (auto address = AddressIn(run)) return address;
        }
        // The rest of a word the run belongs to is no address either.
        while (next < line.size() && IsWordCharacter(line[next])) ++next;
        i = next;
    }
    return std::nullopt;
}

}  // namespace summary
