#include "service/cli/LookupCommand.h"
#include "service/cli/ProgressLine.h"
#include "tests/service/cli/CommandRun.h"

#include <gtest/gtest.h>
#include <zlib.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cli {
namespace {

using SummaryRun = test::CommandRun;

SummaryRun Summarise(std::vector<std::string_view> arguments, const std::string& input = "") {
    arguments.insert(arguments.begin(), {"--data", SERVICE_FIXTURES, "--summary"});
    return test::RunCommand(arguments, input);
}

std::string Gzip(const std::string& text) {
    std::string compressed(compressBound(text.size()) + 32, '\0');
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
    stream.avail_out = static_cast<uInt>(compressed.size());
    deflate(&stream, Z_FINISH);
    compressed.resize(stream.total_out);
    deflateEnd(&stream);
    return compressed;
}

class SummaryCommandTest : public testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(m_folder); }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string Write(const char* name, const std::string& bytes) {
        const std::string path = (m_folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        m_paths.push_back(path);
        return path;
    }

    std::filesystem::path m_folder = std::filesystem::path(testing::TempDir()) / "summary-command";
    std::vector<std::string> m_paths;  // kept so that the views of them stay valid
};

constexpr const char* kLog =
    "8.8.8.8 - - [07/Dec/2026:17:01:46 +0800] \"GET / HTTP/1.1\" 200 612\n"
    "[240e:1::5]:443 - - \"GET / HTTP/2\" 200 1\n"
    "202.96.134.7 - - \"GET /a HTTP/1.1\" 200 1\n"
    "nginx/1.2.3.4.5 starting\n";

TEST_F(SummaryCommandTest, SummarisesPlainAndGzipFilesAndStandardInputTogether) {
    const std::string plain = Write("access.log", kLog);
    const std::string packed = Write("access.log.1", Gzip(kLog));  // told from its content
    const SummaryRun run =
        Summarise({"--extract", "--format", "json", "--top", "2", plain, "-", packed}, kLog);
    EXPECT_EQ(run.status, kAllAnswered) << run.errors;
    EXPECT_EQ(run.errors, "");
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["lines"], 12);
    EXPECT_EQ(json["addresses"], 9);
    EXPECT_EQ(json["unique"], 3);
    EXPECT_EQ(json["skipped"], 3);
    EXPECT_EQ(json["special"], 0);
    EXPECT_EQ(
        json["top"]["country"],
        nlohmann::json::parse(R"([{"name":"中国","hits":6,"unique":2,"share":0.6666666666666666},
                                        {"name":"美国","hits":3,"unique":1,"share":0.3333333333333333}])"));
    EXPECT_EQ(json["top"]["operator"][0]["name"], "中国电信");
    EXPECT_EQ(json["top"]["operator"][0]["hits"], 6);
    EXPECT_TRUE(json["data"].is_object());
}

TEST_F(SummaryCommandTest, BadFilesAreNamedAfterTheRestIsSummarised) {
    std::string damaged = Gzip(std::string(kLog) + kLog + kLog);
    damaged.resize(damaged.size() - 6);  // most of the checksum and length are missing
    const std::string broken = Write("broken.log.gz", damaged);
    const std::string missing = (m_folder / "missing.log").string();
    const std::string good = Write("good.log", kLog);
    const SummaryRun run = Summarise({"--extract", broken, missing, good, m_folder.string()});
    EXPECT_EQ(run.status, kInputOutputFailed);
    EXPECT_EQ(run.errors,
              "wherix-lookup: " + broken + ": damaged gzip data: it ends too early\n" +
                  "wherix-lookup: " + missing + ": cannot open: No such file or directory\n" +
                  "wherix-lookup: " + m_folder.string() + ": cannot read: Is a directory\n");
    // The lines read before the damage (all twelve: only the trailer is cut) still count,
    // beside the good file's four.
    EXPECT_TRUE(run.out.starts_with("行数        16\n")) << run.out;
}

TEST_F(SummaryCommandTest, WholeLinesThatAreNoAddressesEndWithStatusOne) {
    const SummaryRun run =
        Summarise({"--format", "csv"}, "8.8.8.8\n# comment\n\n2409:8000::1\n8.8.8.8 - -\nx\n");
    EXPECT_EQ(run.status, kSomeBad);
    EXPECT_EQ(run.errors,
              "wherix-lookup: 2 lines were not an address (--extract finds addresses inside "
              "lines)\n");
    EXPECT_TRUE(
        run.out.starts_with("list,rank,name,hits,unique,share\r\n"
                            "country,1,中国,1,1,0.500000\r\n"
                            "country,2,美国,1,1,0.500000\r\n"))
        << run.out;
}

TEST_F(SummaryCommandTest, TheReportIsWrittenWholeOrNotAtAll) {
    const std::string report = (m_folder / "report.html").string();
    SummaryRun run = Summarise({"--html", report, "--format", "json"}, "8.8.8.8\n");
    EXPECT_EQ(run.status, kAllAnswered) << run.errors;
    std::ifstream written(report, std::ios::binary);
    const std::string html((std::istreambuf_iterator<char>(written)), {});
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>")) << html;
    EXPECT_TRUE(html.ends_with("</body></html>\n"));
    EXPECT_NE(html.find("美国 加利福尼亚州 山景城"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(report + ".part"));

    const std::string nowhere = (m_folder / "no-such-folder" / "report.html").string();
    run = Summarise({"--html", nowhere}, "8.8.8.8\n");
    EXPECT_EQ(run.status, kInputOutputFailed);
    EXPECT_EQ(run.errors, "wherix-lookup: " + nowhere + ": cannot write the report\n");
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_TRUE(run.out.starts_with("行数")) << "the summary is still written";
}

TEST(SummaryOutputTest, AnUnwritableOutputIsNoSuccess) {
    const std::vector<std::string_view> arguments{"--data", SERVICE_FIXTURES, "--summary"};
    std::istringstream in("8.8.8.8\n");
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    std::ostringstream errors;
    EXPECT_EQ(RunLookupCommand(arguments, in, out, errors, false), kInputOutputFailed);
    EXPECT_EQ(errors.str(), "wherix-lookup: cannot write the summary\n");

    std::istringstream unreadable("8.8.8.8\n");
    unreadable.setstate(std::ios::badbit);
    std::ostringstream fine;
    errors.str("");
    EXPECT_EQ(RunLookupCommand(arguments, unreadable, fine, errors, false), kInputOutputFailed);
    EXPECT_EQ(errors.str(), "wherix-lookup: standard input: cannot read\n");
}

struct UsageRow {
    const char* name;
    std::vector<std::string_view> arguments;
    const char* error;  // the first line of the error stream
};

class SummaryUsageTest : public testing::TestWithParam<UsageRow> {};

TEST_P(SummaryUsageTest, IsAUsageError) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunLookupCommand(GetParam().arguments, in, out, errors, false), kUsage);
    EXPECT_EQ(errors.str().substr(0, errors.str().find('\n')), GetParam().error);
    EXPECT_EQ(out.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SummaryUsageTest,
    testing::Values(
        UsageRow{"extractAlone",
                 {"--extract"},
                 "wherix-lookup: --extract, --top, --format and --html go with --summary"},
        UsageRow{"htmlAlone",
                 {"--html", "r.html", "8.8.8.8"},
                 "wherix-lookup: --extract, --top, --format and --html go with --summary"},
        UsageRow{"json",
                 {"--summary", "--json"},
                 "wherix-lookup: --json does not go with --summary (see --format)"},
        UsageRow{"checkData",
                 {"--check-data", "--summary"},
                 "wherix-lookup: --check-data does not go with --summary (see --format)"},
        UsageRow{"topZero",
                 {"--summary", "--top", "0"},
                 "wherix-lookup: --top wants a number from 1 to 1000000"},
        UsageRow{"topWord",
                 {"--summary", "--top", "ten"},
                 "wherix-lookup: --top wants a number from 1 to 1000000"},
        UsageRow{"topNegative",
                 {"--summary", "--top", "-1"},
                 "wherix-lookup: --top wants a number from 1 to 1000000"},
        UsageRow{"topTooMany",
                 {"--summary", "--top", "1000001"},
                 "wherix-lookup: --top wants a number from 1 to 1000000"},
        UsageRow{"topMissing", {"--summary", "--top"}, "wherix-lookup: --top wants a number"},
        UsageRow{"formatUnknown",
                 {"--summary", "--format", "xml"},
                 "wherix-lookup: --format wants text, csv or json"},
        UsageRow{"formatMissing",
                 {"--summary", "--format"},
                 "wherix-lookup: --format wants text, csv or json"},
        UsageRow{"htmlMissing", {"--summary", "--html"}, "wherix-lookup: --html wants a file"},
        UsageRow{"htmlEmpty", {"--summary", "--html", ""}, "wherix-lookup: --html wants a file"}),
    [](const auto& info) { return info.param.name; });

TEST(ProgressLineTest, BytesReadOfTheTotalWhereKnown) {
    std::chrono::steady_clock::time_point now{};
    std::ostringstream terminal;
    ProgressLine progress(
        terminal, [&now] { return now; }, ProgressUnit::kBytes, 40'000'000);
    progress.Count(5'000'000);
    EXPECT_EQ(terminal.str(), "");
    now += std::chrono::seconds(2);
    progress.Count(5'000'000);
    EXPECT_EQ(terminal.str(), "\r\033[K10.0 MB of 40.0 MB (25%), 5.0 MB/s");
    progress.Wipe();

    std::ostringstream pipe;
    ProgressLine unknown(
        pipe, [&now] { return now; }, ProgressUnit::kBytes);
    now += std::chrono::seconds(4);
    unknown.Count(1'500'000);
    EXPECT_EQ(pipe.str(), "\r\033[K1.5 MB, 0.4 MB/s");
}

}  // namespace
}  // namespace cli
