#include "service/summary/AddressExtractor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace summary {
namespace {

struct ExtractRow {
    const char* name;
    std::string line;
    std::optional<service::IpAddress> expected;
};

service::IpAddress Ipv4(std::uint32_t address) {
    return address;
}

service::IpAddress Ipv6(std::uint64_t high, std::uint64_t low) {
    return service::Ipv6Address{high, low};
}

constexpr std::uint64_t kDocumentation = 0x20010db800000000u;  // 2001:db8::/32
constexpr std::uint64_t kLinkLocal = 0xfe80000000000000u;

class FindAddressTest : public testing::TestWithParam<ExtractRow> {};

TEST_P(FindAddressTest, FindsTheFirstAddressStandingAlone) {
    EXPECT_EQ(FindAddress(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FindAddressTest,
    testing::Values(
        // Formats
        ExtractRow{"combinedLog",
                   "203.0.113.9 - - [10/Oct/2026:13:55:36 +0800] \"GET /a HTTP/1.1\" 200 2326 "
                   "\"-\" \"Mozilla/5.0 (X11; Linux x86_64)\"",
                   Ipv4(0xcb007109)},
        ExtractRow{"combinedLogIpv6",
                   "2001:db8::1 - - [10/Oct/2026:13:55:36 +0800] \"GET / HTTP/1.1\" 200 1",
                   Ipv6(kDocumentation, 1)},
        ExtractRow{"csv", "2026-10-10T13:55:36Z,GET,/index.html,198.51.100.7,200",
                   Ipv4(0xc6336407)},
        ExtractRow{"quotedCsv", "\"x\",\"198.51.100.7\"", Ipv4(0xc6336407)},
        ExtractRow{"syslog",
                   "Dec  7 17:01:46 web sshd[812]: Failed password for root from 192.0.2.44 "
                   "port 52104 ssh2",
                   Ipv4(0xc000022c)},
        ExtractRow{"keyValue", "time=17:01:46 client=192.0.2.1;", Ipv4(0xc0000201)},
        ExtractRow{"forwardedList", "for=192.0.2.1, 198.51.100.7", Ipv4(0xc0000201)},
        ExtractRow{"endOfSentence", "Connection closed by 192.0.2.1.", Ipv4(0xc0000201)},
        ExtractRow{"withPort", "peer 192.0.2.1:8080 gone", Ipv4(0xc0000201)},
        ExtractRow{"withLabelColon", "192.0.2.1: connection reset", Ipv4(0xc0000201)},
        ExtractRow{"tab", "\t10.0.0.1\t", Ipv4(0x0a000001)},
        // IPv6 forms
        ExtractRow{"brackets", "[2001:db8::1]:443 - -", Ipv6(kDocumentation, 1)},
        ExtractRow{"bracketsNoPort", "client [2001:db8:0:0:1:0:0:1] said",
                   Ipv6(kDocumentation, 0x0001000000000001u)},
        ExtractRow{"zone", "from fe80::1%eth0 port 22", Ipv6(kLinkLocal, 1)},
        ExtractRow{"numericZone", "fe80::a:b%2,", Ipv6(kLinkLocal, 0xa000bu)},
        ExtractRow{"loopback", "::1 - -", Ipv6(0, 1)},
        ExtractRow{"mappedIsIpv4", "::ffff:192.0.2.1 - -", Ipv4(0xc0000201)},
        ExtractRow{"upperCase", "2001:DB8::AB", Ipv6(kDocumentation, 0xab)},
        ExtractRow{"fullEight", "2001:db8:1:2:3:4:5:6",
                   Ipv6(0x20010db800010002u, 0x0003000400050006u)},
        ExtractRow{"ipv6BeforeIpv4", "2001:db8::2 via 192.0.2.1", Ipv6(kDocumentation, 2)},
        ExtractRow{"dottedQuadAtTheEnd", "64:ff9b::192.0.2.1",
                   Ipv6(0x0064ff9b00000000u, 0xc0000201u)},
        ExtractRow{"endOfSentenceIpv6", "from 2001:db8::7.", Ipv6(kDocumentation, 7)},
        ExtractRow{"tildeZone", "fe80::1%en~0 up", Ipv6(kLinkLocal, 1)},
        // False friends: something that merely looks like an address is passed over
        ExtractRow{"version", "nginx/1.2.3.4.5 started", std::nullopt},
        ExtractRow{"groupTooBig", "999.1.1.1", std::nullopt},
        ExtractRow{"versionThenAddress", "agent 1.2.3.4.5 from 192.0.2.9", Ipv4(0xc0000209)},
        ExtractRow{"threeGroups", "took 1.2.3 s", std::nullopt},
        ExtractRow{"fourDigitGroup", "1.2.3.1000", std::nullopt},
        ExtractRow{"letterBefore", "v1.2.3.4", std::nullopt},
        ExtractRow{"letterAfter", "1.2.3.4x", std::nullopt},
        ExtractRow{"digitWord", "build_1.2.3.4 ok", std::nullopt},
        ExtractRow{"hexWord", "cafe:babe", std::nullopt},
        ExtractRow{"time", "17:01:46", std::nullopt},
        ExtractRow{"macAddress", "00:1a:2b:3c:4d:5e", std::nullopt},
        ExtractRow{"separator", "a :: b", std::nullopt},
        ExtractRow{"unspecified", "]::0&1", std::nullopt},
        ExtractRow{"scopeOperator", "std::string", std::nullopt},
        ExtractRow{"twoGaps", "2001::db8::1", std::nullopt},
        ExtractRow{"fiveHexDigits", "2001:db8::12345", std::nullopt},
        ExtractRow{"nineGroups", "1:2:3:4:5:6:7:8:9", std::nullopt},
        ExtractRow{"portWithLetters", "192.0.2.1:http", std::nullopt},
        ExtractRow{"dotsOnly", "... ...", std::nullopt}, ExtractRow{"empty", "", std::nullopt},
        ExtractRow{"binary", std::string("\x00\xff\x01\x1f\x8b", 5), std::nullopt},
        ExtractRow{"fullWidthDigits", "１.２.３.４", std::nullopt},
        ExtractRow{"afterBinary",
                   std::string("\xff\xfe"
                               "192.0.2.3\x00",
                               12),
                   Ipv4(0xc0000203)}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace summary
