#include "service/core/IpAddress.h"
#include "service/core/Ipv4Address.h"
#include "service/core/ReservedRanges.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace service {
namespace {

struct ParseRow {
    const char* name;
    const char* text;
    std::optional<std::uint32_t> expected;
};

class ParseIpv4Test : public testing::TestWithParam<ParseRow> {};

TEST_P(ParseIpv4Test, ReadsExactlyFourDecimalGroupsBelow256) {
    EXPECT_EQ(ParseIpv4(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseIpv4Test,
    testing::Values(ParseRow{"top", "255.255.255.255", 0xffffffffu},
                    ParseRow{"zero", "0.0.0.0", 0u}, ParseRow{"public", "8.8.4.4", 0x08080404u},
                    ParseRow{"leadingZerosAreDecimal", "010.002.3.04", 0x0a020304u},
                    ParseRow{"group256", "1.2.3.256", std::nullopt},
                    ParseRow{"fourDigits", "1.2.3.0255", std::nullopt},
                    ParseRow{"threeGroups", "1.2.3", std::nullopt},
                    ParseRow{"fiveGroups", "1.2.3.4.5", std::nullopt},
                    ParseRow{"emptyGroup", "1..3.4", std::nullopt},
                    ParseRow{"trailingDot", "1.2.3.4.", std::nullopt},
                    ParseRow{"space", "1.2.3.4 ", std::nullopt},
                    ParseRow{"sign", "+1.2.3.4", std::nullopt},
                    ParseRow{"wildcard", "1.2.3.*", std::nullopt},
                    ParseRow{"empty", "", std::nullopt},
                    ParseRow{"markup", "<b>1.2.3.4</b>", std::nullopt}),
    [](const auto& info) { return info.param.name; });

struct IpRow {
    const char* name;
    const char* text;
    const char* canonical;  // nullptr: not an address
};

class ParseIpAddressTest : public testing::TestWithParam<IpRow> {};

// Both families through one parser; each address read is written back canonically.
TEST_P(ParseIpAddressTest, ReadsBothFamiliesAndWritesTheCanonicalForm) {
    const auto address = ParseIpAddress(GetParam().text);
    if (GetParam().canonical == nullptr) {
        EXPECT_FALSE(address) << FormatIpAddress(*address);
    } else {
        ASSERT_TRUE(address);
        EXPECT_EQ(FormatIpAddress(*address), GetParam().canonical);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseIpAddressTest,
    testing::Values(
        IpRow{"ipv4", "010.1.2.3", "10.1.2.3"}, IpRow{"short", "2001:db8::1", "2001:db8::1"},
        IpRow{"fullUpperCase", "2001:0DB8:0000:0000:0000:0000:0000:0001", "2001:db8::1"},
        IpRow{"unspecified", "::", "::"}, IpRow{"loopback", "::1", "::1"},
        IpRow{"trailingGap", "1::", "1::"},
        IpRow{"firstOfEqualRunsCompressed", "2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},
        IpRow{"longerRunCompressed", "1:0:0:2:0:0:0:3", "1:0:0:2::3"},
        IpRow{"singleZeroGroupKept", "2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},
        IpRow{"gapForOneGroup", "1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
        IpRow{"zoneDropped", "fe80::1%eth0", "fe80::1"},
        IpRow{"numericZone", "fe80::1%2", "fe80::1"}, IpRow{"emptyZone", "fe80::1%", nullptr},
        IpRow{"zoneWithSpace", "fe80::1%eth 0", nullptr},
        IpRow{"mappedIsIpv4", "::ffff:1.2.3.4", "1.2.3.4"},
        IpRow{"mappedInHexIsIpv4", "::FFFF:0102:0304", "1.2.3.4"},
        IpRow{"compatibleStaysIpv6", "::1.2.3.4", "::102:304"},
        IpRow{"embeddedQuad", "64:ff9b::192.0.2.33", "64:ff9b::c000:221"},
        IpRow{"sixGroupsAndAQuad", "1:2:3:4:5:6:1.2.3.4", "1:2:3:4:5:6:102:304"},
        IpRow{"sevenGroupsAndAQuad", "1:2:3:4:5:6:7:1.2.3.4", nullptr},
        IpRow{"quadNotLast", "::1.2.3.4:5", nullptr}, IpRow{"quadFirst", "1.2.3.4::", nullptr},
        IpRow{"shortQuad", "::1.2.3", nullptr}, IpRow{"quadGroup256", "::1.2.3.256", nullptr},
        IpRow{"overLongGroup", "12345::1", nullptr}, IpRow{"gapTwice", "1::2::3", nullptr},
        IpRow{"threeColons", ":::1", nullptr}, IpRow{"colonBeforeGap", "1:::2", nullptr},
        IpRow{"leadingColon", ":1::2", nullptr}, IpRow{"trailingColon", "1::2:", nullptr},
        IpRow{"sevenGroups", "1:2:3:4:5:6:7", nullptr},
        IpRow{"nineGroups", "1:2:3:4:5:6:7:8:9", nullptr},
        IpRow{"gapStandingForNothing", "1:2:3:4:5:6:7::8", nullptr},
        IpRow{"notHex", "g::1", nullptr}, IpRow{"brackets", "[::1]", nullptr},
        IpRow{"empty", "", nullptr}),
    [](const auto& info) { return info.param.name; });

TEST(NetworkAroundTest, GivesTheFirstAndLastAddressOfEachPrefixLength) {
    const struct {
        const char* address;
        unsigned length;
        const char* first;
        const char* last;
    } kRows[] = {
        {"203.0.113.77", 24, "203.0.113.0", "203.0.113.255"},
        {"203.0.113.77", 32, "203.0.113.77", "203.0.113.77"},
        {"203.0.113.77", 0, "0.0.0.0", "255.255.255.255"},
        {"2001:db8::1:2", 64, "2001:db8::", "2001:db8::ffff:ffff:ffff:ffff"},
        {"2001:db8::1:2", 112, "2001:db8::1:0", "2001:db8::1:ffff"},
        {"2001:db8::1:2", 128, "2001:db8::1:2", "2001:db8::1:2"},
        {"2001:db8::1:2", 0, "::", "ffff:ffff:ffff:ffff:ffff:ffff:ffff:ffff"},
    };
    for (const auto& row : kRows) {
        const AddressSpan span = NetworkAround(*ParseIpAddress(row.address), row.length);
        EXPECT_EQ(FormatIpAddress(span.first), row.first) << row.address << "/" << row.length;
        EXPECT_EQ(FormatIpAddress(span.last), row.last) << row.address << "/" << row.length;
    }
}

TEST(FormatIpv4Test, WritesTheCanonicalDottedQuad) {
    EXPECT_EQ(FormatIpv4(0x0a020304u), "10.2.3.4");
    EXPECT_EQ(FormatIpv4(0xffffffffu), "255.255.255.255");
    EXPECT_EQ(FormatIpv4(0u), "0.0.0.0");
}

constexpr const char* kLoopback = "本机地址";
constexpr const char* kPrivate = "局域网";
constexpr const char* kShared = "共享地址";
constexpr const char* kLinkLocal = "本地链路";
constexpr const char* kMulticast = "多播地址";
constexpr const char* kBroadcast = "广播地址";
constexpr const char* kReserved = "保留地址";

struct RangeRow {
    const char* name;
    const char* address;
    const char* label;  // nullptr: an ordinary address
};

class SpecialRangeTest : public testing::TestWithParam<RangeRow> {};

TEST_P(SpecialRangeTest, LabelsEveryBlockToItsEdges) {
    const auto address = ParseIpv4(GetParam().address);
    ASSERT_TRUE(address);
    const auto label = SpecialRangeLabel(*address);
    if (GetParam().label == nullptr) {
        EXPECT_FALSE(label) << *label;
    } else {
        ASSERT_TRUE(label);
        EXPECT_EQ(*label, GetParam().label);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SpecialRangeTest,
                         testing::Values(RangeRow{"thisNetworkFirst", "0.0.0.0", kReserved},
                                         RangeRow{"thisNetworkLast", "0.255.255.255", kReserved},
                                         RangeRow{"justAfterThisNetwork", "1.0.0.0", nullptr},
                                         RangeRow{"private10First", "10.0.0.0", kPrivate},
                                         RangeRow{"private10Last", "10.255.255.255", kPrivate},
                                         RangeRow{"justAfter10", "11.0.0.0", nullptr},
                                         RangeRow{"justBeforeShared", "100.63.255.255", nullptr},
                                         RangeRow{"sharedFirst", "100.64.0.0", kShared},
                                         RangeRow{"sharedLast", "100.127.255.255", kShared},
                                         RangeRow{"justAfterShared", "100.128.0.0", nullptr},
                                         RangeRow{"loopbackFirst", "127.0.0.0", kLoopback},
                                         RangeRow{"loopbackUsual", "127.0.0.1", kLoopback},
                                         RangeRow{"loopbackLast", "127.255.255.255", kLoopback},
                                         RangeRow{"linkLocalFirst", "169.254.0.0", kLinkLocal},
                                         RangeRow{"linkLocalLast", "169.254.255.255", kLinkLocal},
                                         RangeRow{"justAfterLinkLocal", "169.255.0.0", nullptr},
                                         RangeRow{"justBefore172", "172.15.255.255", nullptr},
                                         RangeRow{"private172First", "172.16.0.0", kPrivate},
                                         RangeRow{"private172Last", "172.31.255.255", kPrivate},
                                         RangeRow{"justAfter172", "172.32.0.0", nullptr},
                                         RangeRow{"protocolAssignments", "192.0.0.8", kReserved},
                                         RangeRow{"testNet1", "192.0.2.1", kReserved},
                                         RangeRow{"justAfterTestNet1", "192.0.3.0", nullptr},
                                         RangeRow{"relayAnycast", "192.88.99.1", kReserved},
                                         RangeRow{"private192First", "192.168.0.0", kPrivate},
                                         RangeRow{"private192Last", "192.168.255.255", kPrivate},
                                         RangeRow{"justAfter192", "192.169.0.0", nullptr},
                                         RangeRow{"benchmarkingFirst", "198.18.0.0", kReserved},
                                         RangeRow{"benchmarkingLast", "198.19.255.255", kReserved},
                                         RangeRow{"justAfterBenchmarking", "198.20.0.0", nullptr},
                                         RangeRow{"testNet2", "198.51.100.200", kReserved},
                                         RangeRow{"testNet3", "203.0.113.7", kReserved},
                                         RangeRow{"justBeforeMulticast", "223.255.255.255",
                                                  nullptr},
                                         RangeRow{"multicastFirst", "224.0.0.0", kMulticast},
                                         RangeRow{"multicastLast", "239.255.255.255", kMulticast},
                                         RangeRow{"futureUseFirst", "240.0.0.0", kReserved},
                                         RangeRow{"futureUseLast", "255.255.255.254", kReserved},
                                         RangeRow{"broadcast", "255.255.255.255", kBroadcast},
                                         RangeRow{"public", "8.8.8.8", nullptr}),
                         [](const auto& info) { return info.param.name; });
struct Range6Row {
    const char* name;
    const char* address;
    const char* label;  // nullptr: an ordinary address
};

class SpecialRange6Test : public testing::TestWithParam<Range6Row> {};

TEST_P(SpecialRange6Test, LabelsIpv6BlocksAsTheirIpv4Counterparts) {
    const auto address = ParseIpAddress(GetParam().address);
    ASSERT_TRUE(address);
    const auto label = SpecialRangeLabel(*address);
    if (GetParam().label == nullptr) {
        EXPECT_FALSE(label) << *label;
    } else {
        EXPECT_EQ(label, GetParam().label);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpecialRange6Test,
    testing::Values(Range6Row{"loopback", "::1", kLoopback},
                    Range6Row{"unspecified", "::", kReserved},
                    Range6Row{"uniqueLocalFirst", "fc00::", kPrivate},
                    Range6Row{"uniqueLocalLast", "fdff:ffff:ffff:ffff:ffff:ffff:ffff:ffff",
                              kPrivate},
                    Range6Row{"linkLocal", "fe80::1%eth0", kPrivate},
                    Range6Row{"linkLocalLast", "febf:ffff::1", kPrivate},
                    Range6Row{"formerSiteLocal", "fec0::1", kReserved},
                    Range6Row{"multicast", "ff02::1", kMulticast},
                    Range6Row{"documentation", "2001:db8:1::1", kReserved},
                    Range6Row{"afterDocumentation", "2001:db9::1", nullptr},
                    Range6Row{"ietfAssignmentsLast", "2001:1ff:ffff::1", kReserved},
                    Range6Row{"afterIetfAssignments", "2001:200::1", nullptr},
                    Range6Row{"newDocumentation", "3fff:fff::1", kReserved},
                    Range6Row{"afterNewDocumentation", "3fff:1000::", nullptr},
                    Range6Row{"globalUnicastFirst", "2000::", nullptr},
                    Range6Row{"beforeGlobalUnicast", "1fff:ffff::", kReserved},
                    Range6Row{"afterGlobalUnicast", "4000::", kReserved},
                    Range6Row{"nat64", "64:ff9b::808:808", kReserved},
                    Range6Row{"chinaTelecom", "240e::1", nullptr},
                    Range6Row{"mappedPrivateIsIpv4", "::ffff:10.0.0.1", kPrivate}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace service
