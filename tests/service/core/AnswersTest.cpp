#include "service/core/IpAddress.h"
#include "service/core/data/DataError.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace service {
namespace {

constexpr const char* kUnknown = "未知";
constexpr const char* kUs = "美国";
constexpr const char* kCn = "中国";
constexpr const char* kHk = "香港";
constexpr const char* kMo = "澳门";
constexpr const char* kJp = "日本";
constexpr const char* kVn = "越南";
constexpr const char* kCh = "瑞士";
constexpr const char* kGb = "英国";
constexpr const char* kPrivate = "局域网";
constexpr const char* kReserved = "保留地址";
constexpr const char* kLoopback = "本机地址";

struct AnswerRow {
    const char* name;
    const char* address;
    const char* location;
    const char* network;
    const char* registeredCountry;
};

// One row per rule of the answer; the fixtures hold the databases' English names and a
// few rows of each name table (tests/service/fixtures/make-fixtures.pl).
const AnswerRow kAnswerRows[] = {
    {"public", "8.8.8.8", "美国 加利福尼亚州 山景城", "AS15169 Google LLC", kUs},
    {"cityWithoutChineseNameLeftOut", "1.0.0.1", "澳大利亚 昆士兰州", "AS13335 Cloudflare, Inc.",
     kCn},
    {"rangeEdge", "114.114.114.255", "中国 江苏省 南京市", "AS21859 Zenlayer Inc", kCn},
    {"chineseCarrierByName", "202.96.134.133", "中国 广东省 广州市", "AS4134 中国电信", kCn},
    {"districtInBrackets", "61.135.169.121", "中国 北京市 西城区", kUnknown, kUnknown},
    {"citySameAsRegionOnce", "123.125.114.1", "中国 北京市", kUnknown, kUnknown},
    {"citySameAsCountryOnce", "116.12.50.1", "新加坡", kUnknown, kUnknown},
    {"meaninglessRegionDropped", "210.61.221.1", "台湾 台北市", kUnknown, kUnknown},
    {"hongKongShortName", "203.198.7.1", "香港 中西区", kUnknown, kHk},
    {"regionWithoutChineseNameLeftOut", "202.175.3.1", kMo, "AS4609 CTM", kMo},
    {"noCityNoOrganisation", "210.140.10.1", "日本 东京都", "AS2519", kJp},
    {"cityKeyedByItsOwnLetters", "113.160.200.1", "越南 岘港市", "AS45899 VNPT Đà Nẵng", kVn},
    {"markupShownFullWidth", "9.9.9.9", kCh, "AS19281 Quad9 ＜b＞\"Fast\"＜/b＞ ＆ Co", kCh},
    {"ampersandShownFullWidth", "81.187.1.1", "英国 英格兰 伦敦", "AS20712 Andrews ＆ Arnold Ltd",
     kGb},
    {"nearerOfTwoTownsOfOneName", "4.4.4.4", "美国 马萨诸塞州 春田", kUnknown, kUnknown},
    {"townOfTheNameTooFarAway", "4.4.5.5", "美国 科罗拉多州", kUnknown, kUnknown},
    {"unknownRegionCode", "6.6.6.6", kUnknown, kUnknown, kUs},
    {"noDatabaseKnows", "2.2.2.2", kUnknown, kUnknown, kUnknown},
    {"justOutsideARange", "8.8.9.0", kUnknown, kUnknown, kUnknown},
    // The fixtures hold entries for these blocks; the label must win over them.
    {"privateNeverAsksTheDatabases", "10.1.2.3", kPrivate, kPrivate, kPrivate},
    {"documentationBlockNeverAsks", "198.51.100.7", kReserved, kReserved, kReserved},
    {"loopback", "127.0.0.1", kLoopback, kLoopback, kLoopback},
    // IPv6, from the IPv6 databases, with the same Chinese operator names.
    {"ipv6ChinaTelecom", "240e:3a1::1", "中国 广东省 广州市", "AS4134 中国电信", kCn},
    {"ipv6ChinaMobile", "2409:8a00::8", "中国 北京市", "AS9808 中国移动", kCn},
    {"ipv6Public", "2001:4860:4860::8888", "美国 加利福尼亚州 山景城", "AS15169 Google LLC", kUs},
    {"ipv6OnlyTheCityDatabaseKnows", "2a00:1450::1", "爱尔兰", kUnknown, kUnknown},
    {"ipv6NoDatabaseKnows", "2c0f::1", kUnknown, kUnknown, kUnknown},
    {"ipv6UniqueLocalNeverAsks", "fd00::1", kPrivate, kPrivate, kPrivate},
    {"ipv6Loopback", "::1", kLoopback, kLoopback, kLoopback},
    {"mappedIsAnsweredAsIpv4", "::ffff:8.8.8.8", "美国 加利福尼亚州 山景城", "AS15169 Google LLC",
     kUs},
};

IpAddress Address(const char* text) {
    const auto address = ParseIpAddress(text);
    EXPECT_TRUE(address) << text;
    return address.value_or(IpAddress());
}

class FixtureAnswerTest : public testing::TestWithParam<AnswerRow> {};

TEST_P(FixtureAnswerTest, EachItemComesFromItsOwnDatabase) {
    const LookupAnswer answer = test::FixtureData().Answer(Address(GetParam().address));
    EXPECT_EQ(answer.location.text, GetParam().location);
    EXPECT_EQ(answer.network.text, GetParam().network);
    EXPECT_EQ(answer.registeredCountry.text, GetParam().registeredCountry);
}

INSTANTIATE_TEST_SUITE_P(Rows, FixtureAnswerTest, testing::ValuesIn(kAnswerRows),
                         [](const auto& info) { return info.param.name; });

TEST(AnswerMemoTest, GivesTheAnswersOfTheDatabasesTwiceOver) {
    // Every row twice through one memo: the second round comes from it.
    AnswerMemo memo;
    for (int round = 0; round < 2; ++round) {
        for (const AnswerRow& row : kAnswerRows) {
            const IpAddress address = Address(row.address);
            EXPECT_EQ(test::FixtureData().Answer(address, memo).Copy(),
                      test::FixtureData().Answer(address))
                << row.name << ", round " << round;
        }
    }
}

TEST(AnswerMemoTest, GivesTheAnswersOfNeighboursInAddressOrder) {
    // Each row's address and its neighbours, sorted as a batch is: an address in the network
    // of the one before is answered from the memo without a search, so every network edge
    // the rows come near is crossed here.
    std::vector<IpAddress> addresses;
    for (const AnswerRow& row : kAnswerRows) {
        const IpAddress address = Address(row.address);
        addresses.push_back(address);
        if (const auto* v4 = std::get_if<std::uint32_t>(&address)) {
            for (const std::uint32_t step : {1u, 255u, 256u, 65536u}) {
                addresses.push_back(*v4 + step);
                addresses.push_back(*v4 - step);
            }
        } else {
            const Ipv6Address v6 = std::get<Ipv6Address>(address);
            for (const std::uint64_t step : {std::uint64_t{1}, std::uint64_t{1} << 32}) {
                addresses.push_back(Ipv6Address{v6.high + step, v6.low});
                addresses.push_back(Ipv6Address{v6.high - step, v6.low});
            }
        }
    }
    std::sort(addresses.begin(), addresses.end());
    AnswerMemo memo;
    for (const IpAddress& address : addresses) {
        EXPECT_EQ(test::FixtureData().Answer(address, memo).Copy(),
                  test::FixtureData().Answer(address))
            << FormatIpAddress(address);
    }
}

TEST(StructuredAnswerTest, GivesEveryPartBesideTheTexts) {
    LookupAnswer expected;
    expected.location = {"CN", kCn, "广东省", "广州市", "中国 广东省 广州市"};
    expected.network = {4134, "Chinanet", "中国电信", "AS4134 中国电信"};
    expected.registeredCountry = {"CN", kCn, kCn};
    EXPECT_EQ(test::FixtureData().Answer(Address("202.96.134.133")), expected);
}

TEST(StructuredAnswerTest, KeepsTheOrganisationAsTheTableHasIt) {
    const NetworkAnswer network = test::FixtureData().Answer(Address("81.187.1.1")).network;
    EXPECT_EQ(network.organisation, "Andrews & Arnold Ltd");
    EXPECT_EQ(network.operatorName, "");
}

TEST(StructuredAnswerTest, UnknownPartsAreEmpty) {
    EXPECT_EQ(test::FixtureData().Answer(Address("2.2.2.2")), UniformAnswer(kUnknown));
    const LocationAnswer location = test::FixtureData().Answer(Address("6.6.6.6")).location;
    EXPECT_EQ(location.countryCode, "ZZ");
    EXPECT_EQ(location.country, "");
}

TEST(StructuredAnswerTest, SpecialRangeGivesItsLabelAndNothingElse) {
    const LookupAnswer answer = test::FixtureData().Answer(Address("10.1.2.3"));
    EXPECT_EQ(answer.specialRange, kPrivate);
    EXPECT_EQ(answer, SpecialRangeAnswer(kPrivate));
    EXPECT_EQ(answer.location.countryCode, "");
    EXPECT_FALSE(test::FixtureData().Answer(Address("8.8.8.8")).specialRange);
}

}  // namespace
}  // namespace service
