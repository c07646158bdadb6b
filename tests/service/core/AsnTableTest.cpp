#include "service/core/data/AsnTable.h"
#include "service/core/data/DataError.h"

#include <gtest/gtest.h>

#include <string>

namespace service {
namespace {

AsnTable Parse(const std::string& rows) {
    return AsnTable::Parse(rows, "rows.csv");
}

TEST(AsnTableTest, FindsTheRangeThatHoldsAnAddressEdgesIncluded) {
    const AsnTable table = Parse(
        "300,399,3,Three\n"
        "100,199,1,One\n"
        "200,200,2,Two\n");
    ASSERT_EQ(table.size(), 3u);
    for (const std::uint32_t address : {100u, 150u, 199u}) {
        const auto record = table.Find(address);
        ASSERT_TRUE(record) << address;
        EXPECT_EQ(record->number, 1u);
        EXPECT_EQ(record->organisation, "One");
    }
    EXPECT_EQ(table.Find(200u)->number, 2u);
    EXPECT_EQ(table.Find(399u)->number, 3u);
    EXPECT_FALSE(table.Find(99u));
    EXPECT_FALSE(table.Find(201u));
    EXPECT_FALSE(table.Find(400u));
    EXPECT_FALSE(table.Find(0u));
    EXPECT_FALSE(table.Find(0xffffffffu));
}

TEST(AsnTableTest, TheRangeOfARecordHoldsJustTheAddressesGivenIt) {
    // Nested and overlapping rows: an address gets the range that starts last before it.
    const AsnTable table = Parse(
        "100,399,1,Outer\n"
        "150,199,2,Inner\n"
        "190,249,3,Overlapping\n"
        "400,400,4,Single\n");
    for (std::uint32_t address = 90; address <= 410; ++address) {
        const auto record = table.Find(address);
        if (!record) continue;
        ASSERT_TRUE(record->range.Holds(address)) << address;
        const auto first = std::get<std::uint32_t>(record->range.first);
        const auto last = std::get<std::uint32_t>(record->range.last);
        for (std::uint32_t other = first; other <= last; ++other) {
            ASSERT_TRUE(table.Find(other)) << address << " " << other;
            EXPECT_EQ(table.Find(other)->number, record->number) << address << " " << other;
        }
        const auto before = table.Find(first - 1);
        const auto after = table.Find(last + 1);
        EXPECT_FALSE(before && before->number == record->number) << address;
        EXPECT_FALSE(after && after->number == record->number) << address;
    }
}

TEST(AsnTableTest, FindsRangesThatCrossTheBlocksOfItsIndex) {
    // The index splits IPv4 at every 2^20 addresses.
    const AsnTable table = Parse(
        "1048000,1048600,1,Crossing\n"
        "3145000,3145727,2,BeforeEmptyBlock\n"
        "4294967040,4294967295,3,Last\n");
    const struct {
        std::uint32_t address;
        std::uint32_t number;  // 0: none
    } kRows[] = {{1047999, 0}, {1048000, 1}, {1048575, 1}, {1048576, 1},    {1048600, 1},
                 {1048601, 0}, {3145727, 2}, {3145728, 0}, {4000000000, 0}, {4294967295, 3}};
    for (const auto& row : kRows) {
        const auto record = table.Find(row.address);
        EXPECT_EQ(record ? record->number : 0, row.number) << row.address;
    }
}

TEST(AsnTableTest, ReadsQuotedOrganisationsDottedRangesAndCrLf) {
    const AsnTable table = Parse(
        "1.0.0.0,1.0.0.255,13335,\"Cloudflare, Inc.\"\r\n"
        "16777472,16777727,7,\"Say \"\"hi\"\"\"\n"
        "\n"
        "16777728,16777728,8,\n");
    EXPECT_EQ(table.Find(16777216u)->organisation, "Cloudflare, Inc.");
    EXPECT_EQ(table.Find(16777471u)->number, 13335u);
    EXPECT_EQ(table.Find(16777500u)->organisation, "Say \"hi\"");
    EXPECT_EQ(table.Find(16777728u)->organisation, "");
}

struct CsvRow {
    const char* name;
    const char* row;
    const char* organisation;
};

class AsnTableCsvTest : public testing::TestWithParam<CsvRow> {};

TEST_P(AsnTableCsvTest, ReadsTheOrganisationAsCsvQuotesIt) {
    const AsnTable table = Parse(GetParam().row);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.Find(1u)->organisation, GetParam().organisation);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AsnTableCsvTest,
    testing::Values(CsvRow{"lastLineWithoutLineEnd", "1,1,1,Last", "Last"},
                    CsvRow{"emptyQuoted", "1,1,1,\"\"\n", ""},
                    CsvRow{"quotedPartInTheMiddle", "1,1,1,Acme \"Big, Red\" Co\n",
                           "Acme Big, Red Co"},
                    CsvRow{"doubledQuoteThenComma", "1,1,1,\"a\"\",b\"\n", "a\",b"},
                    CsvRow{"quotedNumbers", "\"1\",\"1\",\"1\",x\n", "x"},
                    CsvRow{"onlyCarriageReturnLines", "\r\n1,1,1,x\r\n\r\n", "x"}),
    [](const auto& info) { return info.param.name; });

TEST(AsnTableTest, RangesShareOneCopyOfARepeatedOrganisation) {
    const AsnTable table = Parse("1,1,5,Same\n3,3,5,Same\n");
    EXPECT_EQ(table.Find(1u)->organisation.data(), table.Find(3u)->organisation.data());
}

struct BadRow {
    const char* name;
    const char* rows;
};

class AsnTableBadRowTest : public testing::TestWithParam<BadRow> {};

TEST_P(AsnTableBadRowTest, NamesTheSourceAndLine) {
    try {
        Parse(std::string("1,2,3,Fine\n") + GetParam().rows + "\n");
        FAIL() << "accepted " << GetParam().rows;
    } catch (const DataError& error) {
        EXPECT_STREQ(error.what(), "rows.csv:2: not a first,last,number,organisation row");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AsnTableBadRowTest,
    testing::Values(BadRow{"tooFewFields", "1,2,3"}, BadRow{"tooManyFields", "1,2,3,a,b"},
                    BadRow{"unclosedQuote", "1,2,3,\"Open"}, BadRow{"letters", "x,2,3,a"},
                    BadRow{"endBeforeStart", "5,4,3,a"}, BadRow{"beyond32Bits", "1,4294967296,3,a"},
                    BadRow{"badDottedQuad", "1.2.3,1.2.3.4,3,a"},
                    BadRow{"negativeNumber", "1,2,-3,a"}),
    [](const auto& info) { return info.param.name; });

TEST(AsnTableTest, MissingFileIsADataError) {
    EXPECT_THROW(AsnTable::Load({"/nonexistent/asn.csv"}), DataError);
}

}  // namespace
}  // namespace service
