#include "service/http/OutwardAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace service {
namespace {

constexpr std::uint32_t kOutward = 0xc0a80105;  // 192.168.1.5

struct OwnAddressRow {
    const char* name;
    const char* caller;
    std::optional<std::uint32_t> outward;
    const char* shown;
    bool asksForOutward;
};

class AddressForOwnPageTest : public testing::TestWithParam<OwnAddressRow> {};

TEST_P(AddressForOwnPageTest, LoopbackCallerIsShownAsThisMachinesOutwardAddress) {
    int asked = 0;
    const std::string shown = AddressForOwnPage(GetParam().caller, [&] {
        ++asked;
        return GetParam().outward;
    });
    EXPECT_EQ(shown, GetParam().shown);
    EXPECT_EQ(asked, GetParam().asksForOutward ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AddressForOwnPageTest,
    testing::Values(
        OwnAddressRow{"loopback", "127.0.0.1", kOutward, "192.168.1.5", true},
        OwnAddressRow{"otherLoopback", "127.8.9.10", kOutward, "192.168.1.5", true},
        OwnAddressRow{"loopbackIpv6", "::1", kOutward, "192.168.1.5", true},
        OwnAddressRow{"mappedLoopback", "::ffff:127.0.0.1", kOutward, "192.168.1.5", true},
        OwnAddressRow{"noOtherAddress", "127.0.0.1", std::nullopt, "127.0.0.1", true},
        OwnAddressRow{"remoteCaller", "203.0.113.9", kOutward, "203.0.113.9", false},
        OwnAddressRow{"remoteIpv6Caller", "2001:db8::1", kOutward, "2001:db8::1", false}),
    [](const auto& info) { return info.param.name; });

// The address must be one of this machine's own: a socket can be bound to it.
TEST(OutwardIpv4AddressTest, IsAnAddressOfThisMachineOtherThanLoopback) {
    const auto outward = OutwardIpv4Address();
    if (!outward) GTEST_SKIP() << "this machine has no route out";
    EXPECT_NE(*outward >> 24, 127u);
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(socket, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(*outward);
    EXPECT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
    ::close(socket);
}

}  // namespace
}  // namespace service
