#include "service/daemon/ServiceOptions.h"

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
    EXPECT_EQ(options.dataFolders, std::vector<std::string>{"data/geo"});
    EXPECT_FALSE(options.trustProxy);
    EXPECT_EQ(options.accessLog, "-");
    EXPECT_EQ(options.limits.maxConnections, 4096u);
    EXPECT_EQ(options.limits.maxPerAddress, 1024u);
    EXPECT_EQ(options.limits.threads, 0u);
}

TEST(ServiceOptionsTest, ReadsEveryOption) {
    const ServiceOptions options =
        Parse({"--listen", "0.0.0.0:80", "--data", "/srv/geo", "--trust-proxy", "--access-log",
               "off", "--max-connections", "100", "--max-per-address", "10", "--threads", "3"});
    EXPECT_EQ(options.host, "0.0.0.0");
    EXPECT_EQ(options.port, 80);
    EXPECT_EQ(options.dataFolders, std::vector<std::string>{"/srv/geo"});
    EXPECT_TRUE(options.trustProxy);
    EXPECT_EQ(options.accessLog, "off");
    EXPECT_EQ(options.limits.maxConnections, 100u);
    EXPECT_EQ(options.limits.maxPerAddress, 10u);
    EXPECT_EQ(options.limits.threads, 3u);
}

// The default folder is replaced by the first --data, not added to.
TEST(ServiceOptionsTest, KeepsEveryDataFolderInTheOrderGiven) {
    EXPECT_EQ(
        Parse({"--data", "/var/lib/lokaro/geo", "--data", "/usr/share/lokaro/geo"}).dataFolders,
        (std::vector<std::string>{"/var/lib/lokaro/geo", "/usr/share/lokaro/geo"}));
}

TEST(ServiceOptionsTest, AcceptsPortZeroAndBracketedIpv6) {
    const ServiceOptions options = Parse({"--listen", "[::1]:0"});
    EXPECT_EQ(options.host, "::1");
    EXPECT_EQ(options.port, 0);
}

class ServiceOptionsRejectTest : public testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(ServiceOptionsRejectTest, RejectsWithAUsageError) {
    EXPECT_THROW(Parse(GetParam()), ServiceUsageError);
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
                                         std::vector<std::string_view>{"--access-log"},
                                         std::vector<std::string_view>{"--max-connections", "0"},
                                         std::vector<std::string_view>{"--max-per-address", "-1"},
                                         std::vector<std::string_view>{"--max-per-address", "9x"},
                                         std::vector<std::string_view>{"--threads", "0"},
                                         std::vector<std::string_view>{"--threads", "257"},
                                         std::vector<std::string_view>{"--threads", "100000"},
                                         std::vector<std::string_view>{"--", "extra"},
                                         std::vector<std::string_view>{"--verbose"}));

TEST(ServiceOptionsTest, TakesTheEndOfOptionsAndUpTo256Threads) {
    EXPECT_EQ(Parse({"--threads", "256", "--"}).limits.threads, 256u);
}

// A terminal shows an argument as the bytes it was: escape sequences and other control
// or non-ASCII bytes are written as \xNN, quotes and backslashes escaped.
TEST(ServiceOptionsTest, EchoesABadArgumentEscaped) {
    try {
        Parse({"--\x1b]0;owned\x07\"\\\xff"});
        FAIL() << "accepted";
    } catch (const ServiceUsageError& error) {
        EXPECT_STREQ(error.what(), "unknown argument \"--\\x1b]0;owned\\x07\\\"\\\\\\xff\"");
    }
}

}  // namespace
}  // namespace service
