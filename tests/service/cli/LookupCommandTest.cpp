#include "service/cli/AnswerLines.h"
#include "service/cli/LookupCommand.h"
#include "service/cli/ProgressLine.h"
#include "service/json/AnswerJson.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/service/cli/CommandRun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace cli {
namespace {

using test::CommandRun;

CommandRun RunWith(const std::vector<std::string_view>& arguments, const std::string& input = "") {
    return test::RunCommand(arguments, input);
}

constexpr const char* kGoogle = "8.8.8.8\t美国 加利福尼亚州 山景城\tAS15169 Google LLC\t美国\n";
constexpr const char* kLoopback = "127.0.0.1\t本机地址\t本机地址\t本机地址\n";

TEST(LookupCommandTest, ReadsStandardInputSkippingCommentsAndReportingBadLines) {
    const CommandRun run = RunWith({"--data", SERVICE_FIXTURES},
                                   "# servers\n8.8.8.8\n\n  127.0.0.1\t\r\n8.8.8\n   # indented\n"
                                   "x\n1.0.0.1 # not a comment\n2.2.2.2");
    EXPECT_EQ(run.status, kSomeBad);
    EXPECT_EQ(run.out, std::string(kGoogle) + kLoopback + "2.2.2.2\t未知\t未知\t未知\n");
    EXPECT_EQ(run.errors,
              "wherix-lookup: line 5: not an IP address\n"
              "wherix-lookup: line 7: not an IP address\n"
              "wherix-lookup: line 8: not an IP address\n");
}

// No address is anywhere near 64 KiB long: a longer line is reported by its number and
// skipped, and the lines after it are read as usual.
TEST(LookupCommandTest, SkipsLinesLongerThan64KibibytesAsBad) {
    const std::string longest = "8.8.8.8" + std::string(64 * 1024 - 7, ' ');
    const CommandRun run =
        RunWith({"--data", SERVICE_FIXTURES}, longest + "\n" + std::string(64 * 1024 + 1, 'x') +
                                                  "\n" + std::string(1 << 20, '1') + "\n2.2.2.2");
    EXPECT_EQ(run.status, kSomeBad);
    EXPECT_EQ(run.out, std::string(kGoogle) + "2.2.2.2\t未知\t未知\t未知\n");
    EXPECT_EQ(run.errors,
              "wherix-lookup: line 2: longer than 64 KiB, skipped\n"
              "wherix-lookup: line 3: longer than 64 KiB, skipped\n");
}

TEST(LookupCommandTest, AnswersArgumentsAndStandardInputInTheirOrder) {
    const CommandRun run =
        RunWith({"127.0.0.1", "--data", SERVICE_FIXTURES, "-", "8.8.8.8"}, "8.8.8.8\n");
    EXPECT_EQ(run.status, kAllAnswered) << run.errors;
    EXPECT_EQ(run.out, std::string(kLoopback) + kGoogle + kGoogle);
    EXPECT_EQ(run.errors, "");
}

// Text lines echo each address as given; JSON gives it canonically. Sorting by address
// inside a batch must not change the order of the answers, nor take ::8.8.8.8 (a reserved
// IPv6 address) for 8.8.8.8 beside it.
TEST(LookupCommandTest, MixesTheFamiliesInInputOrder) {
    const std::string input = "240E:0::1\n8.8.8.8\n::8.8.8.8\n::1\n008.008.008.008\n";
    const CommandRun text = RunWith({"--data", SERVICE_FIXTURES}, input);
    EXPECT_EQ(text.status, kAllAnswered) << text.errors;
    EXPECT_EQ(text.out,
              "240E:0::1\t中国 广东省 广州市\tAS4134 中国电信\t中国\n" + std::string(kGoogle) +
                  "::8.8.8.8\t保留地址\t保留地址\t保留地址\n" +
                  "::1\t本机地址\t本机地址\t本机地址\n" +
                  "008.008.008.008\t美国 加利福尼亚州 山景城\tAS15169 Google LLC\t美国\n");
    const CommandRun json = RunWith({"--data", SERVICE_FIXTURES, "--json"}, input);
    std::vector<std::string> ips;
    for (std::size_t at = 0; (at = json.out.find("{\"ip\":\"", at)) != std::string::npos;) {
        at += 7;
        ips.push_back(json.out.substr(at, json.out.find('"', at) - at));
    }
    EXPECT_EQ(ips, (std::vector<std::string>{"240e::1", "8.8.8.8", "::808:808", "::1", "8.8.8.8"}));
}

TEST(LookupCommandTest, JsonLinesAreTheServiceObjects) {
    const CommandRun run =
        RunWith({"--json", "--data", SERVICE_FIXTURES, "9.9.9.9", "bad", "10.0.0.1"});
    EXPECT_EQ(run.status, kSomeBad);
    EXPECT_EQ(run.errors, "wherix-lookup: \"bad\" is not an IP address\n");
    const auto& data = service::test::FixtureData();
    EXPECT_EQ(run.out, service::JsonText(service::LookupObject(data, "9.9.9.9")) + "\n" +
                           service::JsonText(service::LookupObject(data, "10.0.0.1")) + "\n");
    EXPECT_NE(run.out.find(R"("text":"AS19281 Quad9 ＜b＞\"Fast\"＜/b＞ ＆ Co"})"),
              std::string::npos);
}

// Input typed line by line: each read hands out one line, and the stream never tells of more
// before it is read. Records what had been answered before each read.
class TypedLines : public std::streambuf {
public:
    TypedLines(std::vector<std::string> lines, const std::ostringstream& out)
        : m_lines(std::move(lines)), m_out(out) {}

    std::vector<std::string> answeredBeforeRead;

protected:
    int_type underflow() override {
        if (m_next == m_lines.size()) return traits_type::eof();
        answeredBeforeRead.push_back(m_out.str());
        m_current = m_lines[m_next++];
        setg(m_current.data(), m_current.data(), m_current.data() + m_current.size());
        return traits_type::to_int_type(m_current.front());
    }

private:
    std::vector<std::string> m_lines;
    const std::ostringstream& m_out;
    std::size_t m_next = 0;
    std::string m_current;
};

// Two batches and part of a third, each shared out between threads in runs that are sorted
// apart: the answers still come in input order, each echoing its own line.
TEST(LookupCommandTest, KeepsInputOrderAcrossBatches) {
    std::string input;
    std::vector<std::string> given;
    for (int i = 0; i < 300000; ++i) {
        given.push_back(i % 3 == 0
                            ? "8.8.8." + std::to_string(i % 256)
                            : "10." + std::to_string(i / 65536) + '.' +
                                  std::to_string(i / 256 % 256) + '.' + std::to_string(i % 256));
        input += given.back() + '\n';
    }
    const CommandRun run = RunWith({"--data", SERVICE_FIXTURES}, input);
    ASSERT_EQ(run.status, kAllAnswered) << run.errors;
    std::istringstream lines(run.out);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        ASSERT_LT(count, given.size());
        ASSERT_EQ(line.substr(0, line.find('\t')), given[count]) << "line " << count + 1;
    }
    EXPECT_EQ(count, given.size());
}

TEST(LookupCommandTest, AnswersWhatCameBeforeWaitingForMoreInput) {
    const std::vector<std::string_view> arguments{"--data", SERVICE_FIXTURES};
    std::ostringstream out;
    std::ostringstream errors;
    TypedLines typed({"8.8.8.8\n", "127.0.0.1\n"}, out);
    std::istream in(&typed);
    EXPECT_EQ(RunLookupCommand(arguments, in, out, errors, false), kAllAnswered);
    EXPECT_EQ(typed.answeredBeforeRead, (std::vector<std::string>{"", kGoogle}));
    EXPECT_EQ(out.str(), std::string(kGoogle) + kLoopback);
}

TEST(AnswerLinesTest, TabsAndLineBreaksInValuesBecomeSpaces) {
    std::string line;
    service::LookupAnswer answer;
    answer.location.text = "A\tB";
    answer.network.text = "AS1 C\r\nD";
    answer.registeredCountry.text = "E\nF";
    AppendTextLine(line, "1.2.3.4", answer);
    EXPECT_EQ(line, "1.2.3.4\tA B\tAS1 C  D\tE F\n");
}

struct StatusRow {
    const char* name;
    std::vector<std::string_view> arguments;
    int status;
    const char* outStart;     // what the output begins with
    const char* errorsStart;  // what the error stream begins with
};

class LookupStatusTest : public testing::TestWithParam<StatusRow> {};

TEST_P(LookupStatusTest, EndsWithItsStatusAndMessage) {
    const CommandRun run = RunWith(GetParam().arguments, "8.8.8.8\n");
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(run.out.substr(0, std::string(GetParam().outStart).size()), GetParam().outStart)
        << run.out;
    EXPECT_EQ(run.errors.substr(0, std::string(GetParam().errorsStart).size()),
              GetParam().errorsStart)
        << run.errors;
    if (*GetParam().outStart == '\0') {
        EXPECT_EQ(run.out, "");
    }
    if (*GetParam().errorsStart == '\0') {
        EXPECT_EQ(run.errors, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LookupStatusTest,
    testing::Values(
        StatusRow{"allAnswered", {"--data", SERVICE_FIXTURES}, kAllAnswered, "8.8.8.8\t", ""},
        StatusRow{"someBad",
                  {"--data", SERVICE_FIXTURES, "1.2.3.4.5", "-"},
                  kSomeBad,
                  "8.8.8.8\t",
                  "wherix-lookup: \"1.2.3.4.5\" is not an IP address\n"},
        StatusRow{"unknownOption",
                  {"--csv"},
                  kUsage,
                  "",
                  "wherix-lookup: unknown option \"--csv\"\nusage: wherix-lookup"},
        StatusRow{"dataWithoutFolder",
                  {"--data"},
                  kUsage,
                  "",
                  "wherix-lookup: --data wants a folder\nusage: wherix-lookup"},
        StatusRow{"missingData",
                  {"--data", "/nonexistent/geo", "8.8.8.8"},
                  kNoData,
                  "",
                  "wherix-lookup: the databases are missing or damaged: /nonexistent/geo: not a "
                  "compiled data set (no MANIFEST)\n"
                  "Make a data set with: scripts/fetch-geodata /nonexistent/geo (make geodata), "
                  "or install the lokaro-geodata package of this version\n"
                  "(or point --data at the folder that holds one)\n"},
        StatusRow{"helpBesideAMissingValue",
                  {"--help", "--data"},
                  kUsage,
                  "",
                  "wherix-lookup: --data wants"},
        StatusRow{"checkDataAnswersNothing",
                  {"--data", SERVICE_FIXTURES, "--check-data"},
                  kAllAnswered,
                  "wherix-lookup: the data in " SERVICE_FIXTURES " can be used\n",
                  ""},
        StatusRow{"checkDataMissing",
                  {"--check-data", "--data", "/nonexistent/geo"},
                  kNoData,
                  "",
                  "wherix-lookup: the databases are missing or damaged: "},
        StatusRow{"checkDataBesideAnAddress",
                  {"--check-data", "8.8.8.8"},
                  kUsage,
                  "",
                  "wherix-lookup: --check-data takes no addresses\n"},
        StatusRow{"helpAlone", {"-h"}, kAllAnswered, "usage: wherix-lookup [--data DIR]", ""},
        StatusRow{"version", {"--version", "x"}, kAllAnswered, "wherix-lookup (Lokaro) 1.", ""}),
    [](const auto& info) { return info.param.name; });

TEST(LookupCommandTest, FailedInputOrOutputIsNoSuccess) {
    const std::vector<std::string_view> arguments{"--data", SERVICE_FIXTURES};
    std::istringstream unreadable("8.8.8.8\n");
    unreadable.setstate(std::ios::badbit);
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunLookupCommand(arguments, unreadable, out, errors, false), kInputOutputFailed);
    EXPECT_EQ(errors.str(), "wherix-lookup: cannot read the input\n");

    std::istringstream in("8.8.8.8\n");
    std::ostringstream unwritable;
    unwritable.setstate(std::ios::badbit);
    errors.str("");
    EXPECT_EQ(RunLookupCommand(arguments, in, unwritable, errors, false), kInputOutputFailed);
    EXPECT_EQ(errors.str(), "wherix-lookup: cannot write the answers\n");
}

TEST(ProgressLineTest, QuietForASecondThenRewrittenInPlaceAndWipedAtTheEnd) {
    std::chrono::steady_clock::time_point now{};
    std::ostringstream terminal;
    ProgressLine progress(terminal, [&now] { return now; });
    progress.Count(8192);
    now += std::chrono::milliseconds(999);
    progress.Count(1);
    EXPECT_EQ(terminal.str(), "");

    now += std::chrono::milliseconds(1001);
    progress.Count(3807);
    EXPECT_EQ(terminal.str(), "\r\033[K12000 addresses, 6000/s");
    now += std::chrono::milliseconds(100);
    progress.Count(1000);  // too soon to rewrite
    now += std::chrono::milliseconds(400);
    progress.Count(2000);
    progress.Wipe();
    progress.Wipe();
    EXPECT_EQ(terminal.str(),
              "\r\033[K12000 addresses, 6000/s\r\033[K15000 addresses, 6000/s\r\033[K");
}

}  // namespace
}  // namespace cli
