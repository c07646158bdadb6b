#include "service/core/ReservedRanges.h"

#include <array>

namespace service {
namespace {

constexpr std::string_view kLoopback = "\u672c\u673a\u5730\u5740";   // this machine
constexpr std::string_view kPrivate = "\u5c40\u57df\u7f51";          // local network
constexpr std::string_view kShared = "\u5171\u4eab\u5730\u5740";     // shared (carrier-grade NAT)
constexpr std::string_view kLinkLocal = "\u672c\u5730\u94fe\u8def";  // link-local
constexpr std::string_view kMulticast = "\u591a\u64ad\u5730\u5740";  // multicast
constexpr std::string_view kBroadcast = "\u5e7f\u64ad\u5730\u5740";  // broadcast
constexpr std::string_view kReserved = "\u4fdd\u7559\u5730\u5740";   // reserved

struct SpecialBlock {
    std::uint32_t network;
    int prefixLength;
    std::string_view label;
};

constexpr std::uint32_t Quad(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

// The IPv4 special-purpose registry; the limited broadcast address comes before the
// reserved 240/4 that contains it, because the first block that holds an address wins.
constexpr std::array kBlocks{
    SpecialBlock{Quad(0, 0, 0, 0), 8, kReserved},
    SpecialBlock{Quad(10, 0, 0, 0), 8, kPrivate},
    SpecialBlock{Quad(100, 64, 0, 0), 10, kShared},
    SpecialBlock{Quad(127, 0, 0, 0), 8, kLoopback},
    SpecialBlock{Quad(169, 254, 0, 0), 16, kLinkLocal},
    SpecialBlock{Quad(172, 16, 0, 0), 12, kPrivate},
    SpecialBlock{Quad(192, 0, 0, 0), 24, kReserved},    // IETF protocol assignments
    SpecialBlock{Quad(192, 0, 2, 0), 24, kReserved},    // documentation (TEST-NET-1)
    SpecialBlock{Quad(192, 88, 99, 0), 24, kReserved},  // former 6to4 relay anycast
    SpecialBlock{Quad(192, 168, 0, 0), 16, kPrivate},
    SpecialBlock{Quad(198, 18, 0, 0), 15, kReserved},    // benchmarking
    SpecialBlock{Quad(198, 51, 100, 0), 24, kReserved},  // documentation (TEST-NET-2)
    SpecialBlock{Quad(203, 0, 113, 0), 24, kReserved},   // documentation (TEST-NET-3)
    SpecialBlock{Quad(224, 0, 0, 0), 4, kMulticast},
    SpecialBlock{Quad(255, 255, 255, 255), 32, kBroadcast},
    SpecialBlock{Quad(240, 0, 0, 0), 4, kReserved},
};

constexpr bool Contains(const SpecialBlock& block, std::uint32_t address) {
    const std::uint32_t mask = ~std::uint32_t{0} << (32 - block.prefixLength);
    return (address & mask) == block.network;
}

struct SpecialBlock6 {
    std::uint64_t networkHigh;  // the blocks below all lie in the upper half
    int prefixLength;
    std::string_view label;
};

constexpr std::array kBlocks6{
    SpecialBlock6{0xfc00'0000'0000'0000u, 7, kPrivate},   // unique local
    SpecialBlock6{0xfe80'0000'0000'0000u, 10, kPrivate},  // link-local
    SpecialBlock6{0xff00'0000'0000'0000u, 8, kMulticast},
    SpecialBlock6{0x2001'0000'0000'0000u, 23, kReserved},  // IETF protocol assignments
    SpecialBlock6{0x2001'0db8'0000'0000u, 32, kReserved},  // documentation
    SpecialBlock6{0x3fff'0000'0000'0000u, 20, kReserved},  // documentation
};

constexpr bool Contains(const SpecialBlock6& block, const Ipv6Address& address) {
    const std::uint64_t mask = ~std::uint64_t{0} << (64 - block.prefixLength);
    return (address.high & mask) == block.networkHigh;
}

}  // namespace

std::optional<std::string_view> SpecialRangeLabel(const Ipv6Address& address) {
    if (address == Ipv6Address{0, 1}) return kLoopback;
    for (const SpecialBlock6& block : kBlocks6) {
        if (Contains(block, address)) return block.label;
    }
    if ((address.high >> 61) != 1) return kReserved;  // outside 2000::/3
    return std::nullopt;
}

std::optional<std::string_view> SpecialRangeLabel(const IpAddress& address) {
    return std::visit([](const auto& a) { return SpecialRangeLabel(a); }, address);
}

std::optional<std::string_view> SpecialRangeLabel(std::uint32_t address) {
    for (const SpecialBlock& block : kBlocks) {
        if (Contains(block, address)) return block.label;
    }
    return std::nullopt;
}

}  // namespace service
