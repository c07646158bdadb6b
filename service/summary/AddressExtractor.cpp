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
    return IsWordCharacter(c) || c == '-' || c == '.';
}

// Hex groups of one to four digits joined by single colons; counts them into groups.
bool ReadHexGroups(std::string_view text, std::size_t& groups) {
    if (text.empty()) return true;
    std::size_t digits = 0;
    for (const char c : text) {
        if (c == ':') {
            if (digits == 0) return false;
            ++groups;
            digits = 0;
        } else if (!IsHexDigit(c) || ++digits > 4) {
            return false;
        }
    }
    if (digits == 0) return false;
    ++groups;
    return true;
}

// The shape of an IPv6 address: eight hex groups, or fewer around one "::", the last two
// perhaps written as a dotted quad; "::" alone, the unspecified address, is no visitor's.
bool IsIpv6(std::string_view text) {
    std::size_t groups = 0;
    if (text.find('.') != std::string_view::npos) {
        const std::size_t lastColon = text.rfind(':');
        if (!service::ParseIpv4(text.substr(lastColon + 1))) return false;
        groups = 2;
        text = text.substr(0, lastColon + (lastColon > 0 && text[lastColon - 1] == ':' ? 1 : 0));
    }
    const std::size_t gap = text.find("::");
    if (gap == std::string_view::npos) return ReadHexGroups(text, groups) && groups == 8;
    return ReadHexGroups(text.substr(0, gap), groups) &&
           ReadHexGroups(text.substr(gap + 2), groups) && groups >= 1 && groups <= 7;
}

// The address a standing-alone run holds, if any.
std::optional<FoundAddress> AddressIn(std::string_view run) {
    const std::size_t colon = run.find(':');
    if (colon == std::string_view::npos) {
        // A full stop after the address ends the sentence it stands in.
        const std::size_t last = run.find_last_not_of('.');
        if (last == std::string_view::npos) return std::nullopt;
        if (const auto address = service::ParseIpv4(run.substr(0, last + 1))) {
            return FoundAddress{address};
        }
        return std::nullopt;
    }
    if (IsIpv6(run)) return FoundAddress{};
    // An IPv4 address with a port, or followed by the colon of a label.
    const std::string_view port = run.substr(colon + 1);
    if (!std::all_of(port.begin(), port.end(), IsDigit)) return std::nullopt;
    if (const auto address = service::ParseIpv4(run.substr(0, colon))) {
        return FoundAddress{address};
    }
    return std::nullopt;
}

}  // namespace

std::optional<FoundAddress> FindAddress(std::string_view line) {
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
