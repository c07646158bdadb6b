#include "ServiceOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace service {
namespace {

ServiceOptions Parse(std::vector<std::string_view> arguments) {
    return ParseServiceOptions(arguments);
}

TEST(ServiceOptionsTest, DefaultsToTheAddressTheProgramAsks) {
    const ServiceOptions options = Parse({});
    EXPECT_EQ(options.host, "127.0.0.1");
    EXPECT_EQ(options.port, 8936);
    EXPECT_EQ(options.dataFolder, "data/geo");
    EXPECT_FALSE(options.trustProxy);
}

TEST(ServiceOptionsTest, ReadsEveryOption) {
    const ServiceOptions options =
        Parse({"--listen", "0.0.0.0:80", "--data", "/srv/geo", "--trust-proxy"});
    EXPECT_EQ(options.host, "0.0.0.0");
    EXPECT_EQ(options.port, 80);
    EXPECT_EQ(options.dataFolder, "/srv/geo");
    EXPECT_TRUE(options.trustProxy);
}

TEST(ServiceOptionsTest, AcceptsPortZeroAndBracketedIpv6) {
    const ServiceOptions options = Parse({"--listen", "[::1]:0"});
    EXPECT_EQ(options.host, "::1");
    EXPECT_EQ(options.port, 0);
}

class ServiceOptionsRejectTest : public testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(ServiceOptionsRejectTest, RejectsWithAUsageError) {
    EXPECT_THROW(Parse(GetParam()), UsageError);
}

INSTANTIATE_TEST_SUITE_P(Rows, ServiceOptionsRejectTest,
                         testing::Values(std::vector<std::string_view>{"--listen"},
                                         std::vector<std::string_view>{"--listen", "8936"},
                                         std::vector<std::string_view>{"--listen", ":8936"},
                                         std::vector<std::string_view>{"--listen", "127.0.0.1:"},
                                         std::vector<std::string_view>{"--listen",
                                                                       "127.0.0.1:65536"},
                                         std::vector<std::string_view>{"--listen", "127.0.0.1:-1"},
                                         std::vector<std::string_view>{"--listen", "127.0.0.1:80x"},
                                         std::vector<std::string_view>{"--data"},
                                         std::vector<std::string_view>{"--verbose"}));

}  // namespace
}  // namespace service
