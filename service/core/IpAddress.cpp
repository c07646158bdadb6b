#include "service/core/IpAddress.h"

#include "service/core/Ipv4Address.h"

#include <array>

namespace service {
namespace {

constexpr std::size_t kGroups = 8;

bool IsZoneCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '~' || c == '-';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The groups of one side of "::" (or of a whole address without it), appended to groups;
// false when the side is malformed. A dotted quad may end the last side.
bool ReadGroups(std::string_view side, bool mayEndInQuad,
                std::array<std::uint16_t, kGroups>& groups, std::size_t& count) {
    if (side.empty()) return true;
    while (true) {
        const std::size_t colon = side.find(':');
        const std::string_view part = side.substr(0, colon);
        if (colon == std::string_view::npos && mayEndInQuad &&
            part.find('.') != std::string_view::npos) {
            const auto quad = ParseIpv4(part);
            if (!quad || count + 2 > kGroups) return false;
            groups[count++] = static_cast<std::uint16_t>(*quad >> 16);
            groups[count++] = static_cast<std::uint16_t>(*quad & 0xffffu);
            return true;
        }
        if (part.empty() || part.size() > 4 || count == kGroups) return false;
        unsigned value = 0;
        for (const char c : part) {
            const int digit = HexValue(c);
            if (digit < 0) return false;
            value = value << 4 | static_cast<unsigned>(digit);
        }
        groups[count++] = static_cast<std::uint16_t>(value);
        if (colon == std::string_view::npos) return true;
        side.remove_prefix(colon + 1);
    }
}

Ipv6Address FromGroups(const std::array<std::uint16_t, kGroups>& groups) {
    Ipv6Address address;
    for (std::size_t i = 0; i < kGroups; ++i) {
        std::uint64_t& half = i < 4 ? address.high : address.low;
        half = half << 16 | groups[i];
    }
    return address;
}

std::uint16_t Group(const Ipv6Address& address, std::size_t i) {
    const std::uint64_t half = i < 4 ? address.high : address.low;
    return static_cast<std::uint16_t>(half >> (16 * (3 - i % 4)));
}

}  // namespace

std::optional<Ipv6Address> ParseIpv6(std::string_view text) {
    if (const std::size_t percent = text.find('%'); percent != std::string_view::npos) {
        const std::string_view zone = text.substr(percent + 1);
        if (zone.empty()) return std::nullopt;
        for (const char c : zone) {
            if (!IsZoneCharacter(c)) return std::nullopt;
        }
        text = text.substr(0, percent);
    }
    std::array<std::uint16_t, kGroups> groups{};
    std::size_t count = 0;
    const std::size_t gap = text.find("::");
    if (gap == std::string_view::npos) {
        if (!ReadGroups(text, true, groups, count) || count != kGroups) return std::nullopt;
        return FromGroups(groups);
    }
    const std::string_view before = text.substr(0, gap);
    const std::string_view after = text.substr(gap + 2);
    if (after.find("::") != std::string_view::npos) return std::nullopt;
    // A single colon next to "::" (":::", "1:::2") leaves an empty group on that side.
    if (!ReadGroups(before, false, groups, count)) return std::nullopt;
    const std::size_t head = count;
    if (!ReadGroups(after, true, groups, count) || count > kGroups - 1) return std::nullopt;
    std::array<std::uint16_t, kGroups> placed{};
    const std::size_t tail = count - head;
    for (std::size_t i = 0; i < head; ++i) placed[i] = groups[i];
    for (std::size_t i = 0; i < tail; ++i) placed[kGroups - tail + i] = groups[head + i];
    return FromGroups(placed);
}

std::optional<IpAddress> ParseIpAddress(std::string_view text) {
    if (text.find(':') == std::string_view::npos) {
        if (const auto v4 = ParseIpv4(text)) return IpAddress(*v4);
        return std::nullopt;
    }
    const auto v6 = ParseIpv6(text);
    if (!v6) return std::nullopt;
    constexpr std::uint64_t kMappedLow = std::uint64_t{0xffff} << 32;
    if (v6->high == 0 && (v6->low >> 32) == 0xffff) {
        return IpAddress(static_cast<std::uint32_t>(v6->low - kMappedLow));
    }
    return IpAddress(*v6);
}

std::string FormatIpv6(const Ipv6Address& address) {
    // The longest run of zero groups, two at least; the first of equal runs.
    std::size_t runStart = kGroups;
    std::size_t runLength = 1;
    for (std::size_t i = 0; i < kGroups;) {
        std::size_t end = i;
        while (end < kGroups && Group(address, end) == 0) ++end;
        if (end - i > runLength) {
            runStart = i;
            runLength = end - i;
        }
        i = end == i ? i + 1 : end;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < kGroups; ++i) {
        if (i == runStart) {
            text += "::";
            i += runLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        const std::uint16_t group = Group(address, i);
        bool started = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = (group >> shift) & 0xfu;
            if (digit == 0 && !started && shift > 0) continue;
            started = true;
            text += kHex[digit];
        }
    }
    return text;
}

std::string FormatIpAddress(const IpAddress& address) {
    if (const auto* v4 = std::get_if<std::uint32_t>(&address)) return FormatIpv4(*v4);
    return FormatIpv6(std::get<Ipv6Address>(address));
}

Ipv6Address LastInNetwork(const Ipv6Address& first, unsigned length) {
    const auto hostBits = [](unsigned bits) {
        return bits >= 64 ? std::uint64_t{0} : ~std::uint64_t{0} >> bits;
    };
    return {first.high | hostBits(length),
            first.low | (length <= 64 ? ~std::uint64_t{0} : hostBits(length - 64))};
}

AddressSpan NetworkAround(const IpAddress& address, unsigned length) {
    if (const auto* v4 = std::get_if<std::uint32_t>(&address)) {
        const std::uint32_t hostBits = length >= 32 ? 0 : ~std::uint32_t{0} >> length;
        return {*v4 & ~hostBits, *v4 | hostBits};
    }
    const Ipv6Address& given = std::get<Ipv6Address>(address);
    const Ipv6Address hostBits = LastInNetwork({}, length);
    return {Ipv6Address{given.high & ~hostBits.high, given.low & ~hostBits.low},
            Ipv6Address{given.high | hostBits.high, given.low | hostBits.low}};
}

}  // namespace service
