#include "service/http/ClientAddress.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace service {
namespace {

struct CallerRow {
    const char* name;
    const char* peer;
    const char* forwardedFor;
    bool trustProxy;
    const char* expected;
};

class CallerAddressTest : public testing::TestWithParam<CallerRow> {};

TEST_P(CallerAddressTest, TakesTheForwardedAddressOnlyFromATrustedLoopbackPeer) {
    const CallerRow& row = GetParam();
    EXPECT_EQ(CallerAddress(row.peer, row.forwardedFor, row.trustProxy), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CallerAddressTest,
    testing::Values(
        CallerRow{"direct", "203.0.113.5", "", false, "203.0.113.5"},
        CallerRow{"headerIgnoredWithoutTrust", "127.0.0.1", "8.8.8.8", false, "127.0.0.1"},
        CallerRow{"trustedLoopbackProxy", "127.0.0.1", "8.8.8.8", true, "8.8.8.8"},
        CallerRow{"otherLoopbackAddress", "127.0.0.2", "8.8.8.8", true, "8.8.8.8"},
        CallerRow{"ipv6LoopbackProxy", "::1", "8.8.8.8", true, "8.8.8.8"},
        CallerRow{"mappedLoopbackProxy", "::ffff:127.0.0.1", "8.8.8.8", true, "8.8.8.8"},
        CallerRow{"remotePeerNotTrusted", "198.51.100.1", "8.8.8.8", true, "198.51.100.1"},
        CallerRow{"lastEntryIsTheProxys", "127.0.0.1", "6.6.6.6, 8.8.8.8", true, "8.8.8.8"},
        CallerRow{"spacesAroundEntry", "127.0.0.1", "1.1.1.1 ,  8.8.4.4 ", true, "8.8.4.4"},
        CallerRow{"forwardedIpv6", "127.0.0.1", "2001:db8::1", true, "2001:db8::1"},
        CallerRow{"forwardedMapped", "127.0.0.1", "::ffff:8.8.8.8", true, "8.8.8.8"},
        CallerRow{"markupIgnored", "127.0.0.1", "<script>", true, "127.0.0.1"},
        CallerRow{"emptyLastEntryIgnored", "127.0.0.1", "8.8.8.8,", true, "127.0.0.1"},
        CallerRow{"mappedPeerShownPlain", "::ffff:192.0.2.9", "", false, "192.0.2.9"}),
    [](const auto& info) { return info.param.name; });

TEST(CallerAddressTest, IgnoresAForwardedValueHoldingNul) {
    using namespace std::string_view_literals;
    EXPECT_EQ(CallerAddress("127.0.0.1", "1::188.51.18.8\0<script>"sv, true), "127.0.0.1");
    EXPECT_EQ(CallerAddress("127.0.0.1", "8.8.8.8\0"sv, true), "127.0.0.1");
}

TEST(IsLoopbackPeerTest, KnowsBothFamilies) {
    EXPECT_TRUE(IsLoopbackPeer("127.0.0.1"));
    EXPECT_TRUE(IsLoopbackPeer("127.255.0.1"));
    EXPECT_TRUE(IsLoopbackPeer("::1"));
    EXPECT_TRUE(IsLoopbackPeer("::ffff:127.0.0.1"));
    EXPECT_FALSE(IsLoopbackPeer("128.0.0.1"));
    EXPECT_FALSE(IsLoopbackPeer("::2"));
    EXPECT_FALSE(IsLoopbackPeer(""));
}
}  // namespace
}  // namespace service
