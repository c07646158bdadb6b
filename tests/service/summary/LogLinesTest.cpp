#include "service/summary/ByteSources.h"
#include "service/summary/LogLines.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace summary {
namespace {

// Bytes handed out a few at a time, as a pipe may.
class TrickleSource : public ByteSource {
public:
    TrickleSource(std::string bytes, std::size_t step) : m_bytes(std::move(bytes)), m_step(step) {}

    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, m_step, m_bytes.size() - m_position});
        m_bytes.copy(buffer, count, m_position);
        m_position += count;
        return count;
    }

private:
    std::string m_bytes;
    std::size_t m_step;
    std::size_t m_position = 0;
};

std::string Gzip(const std::string& text) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8,
                           Z_DEFAULT_STRATEGY),
              Z_OK);
    std::string compressed(deflateBound(&stream, text.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
    stream.avail_out = static_cast<uInt>(compressed.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    compressed.resize(stream.total_out);
    deflateEnd(&stream);
    return compressed;
}

struct ReadResult {
    std::vector<std::string> lines;
    std::string error;  // empty when read to the end
    std::size_t bytesCounted = 0;
};

ReadResult ReadAll(ByteSource& source) {
    ReadResult result;
    LogLines lines(source, [&](std::size_t bytes) { result.bytesCounted += bytes; });
    try {
        while (const auto line = lines.Next()) result.lines.emplace_back(*line);
    } catch (const InputError& error) {
        result.error = error.what();
    }
    return result;
}

ReadResult ReadAll(const std::string& bytes, std::size_t step = 1 << 20) {
    TrickleSource source(bytes, step);
    return ReadAll(source);
}

using Lines = std::vector<std::string>;

struct LinesRow {
    const char* name;
    std::string bytes;
    Lines expected;
};

class LogLinesTest : public testing::TestWithParam<LinesRow> {};

TEST_P(LogLinesTest, SplitsPlainAndCompressedInputAlike) {
    const auto& row = GetParam();
    for (const std::size_t step : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
        EXPECT_EQ(ReadAll(row.bytes, step).lines, row.expected) << "plain, step " << step;
        if (!row.bytes.empty()) {
            EXPECT_EQ(ReadAll(Gzip(row.bytes), step).lines, row.expected) << "gzip, step " << step;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, LogLinesTest,
                         testing::Values(LinesRow{"empty", "", {}},
                                         LinesRow{"oneLine", "a\n", {"a"}},
                                         LinesRow{"noLastLineFeed", "a\nb", {"a", "b"}},
                                         LinesRow{"crLf", "a\r\nb\r\n\r\n", {"a", "b", ""}},
                                         LinesRow{"crInside", "a\rb\n", {"a\rb"}},
                                         LinesRow{"blankLines", "\n\n", {"", ""}},
                                         LinesRow{"oneByteOfMagic", "\x1f", {"\x1f"}},
                                         LinesRow{"binary",
                                                  std::string("\x00\x01\xff\n\x1f\x8b", 6),
                                                  {std::string("\x00\x01\xff", 3), "\x1f\x8b"}}),
                         [](const auto& info) { return info.param.name; });

TEST(LogLinesTest, AnOverLongLineIsCutAndTheRestDropped) {
    const std::size_t limit = LogLines::kMaxLineLength;
    const std::string longLine(limit * 3 + 5, 'x');
    const std::string bytes = "first\n" + longLine + "\nafter\n" + longLine;
    for (const std::string& input : {bytes, Gzip(bytes)}) {
        const ReadResult result = ReadAll(input, 4096);
        ASSERT_EQ(result.lines.size(), 4u);
        EXPECT_EQ(result.lines[0], "first");
        EXPECT_EQ(result.lines[1], std::string(limit, 'x'));
        EXPECT_EQ(result.lines[2], "after");
        EXPECT_EQ(result.lines[3], std::string(limit, 'x'));
        EXPECT_EQ(result.error, "");
    }
    // Exactly at the limit nothing is lost, and the carriage return still goes.
    EXPECT_EQ(ReadAll(std::string(limit, 'y') + "\r\nz\n").lines,
              (Lines{std::string(limit, 'y'), "z"}));
}

TEST(LogLinesTest, MembersFollowingEachOtherAreOneInput) {
    const std::string bytes = Gzip("a\nb") + Gzip("c\n") + Gzip("");
    const ReadResult result = ReadAll(bytes, 3);
    EXPECT_EQ(result.lines, (Lines{"a", "bc"}));
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.bytesCounted, bytes.size());
}

TEST(LogLinesTest, ABombInflatesBlockByBlock) {
    // 64 MB of short lines from a few kilobytes: all come out, none held at once.
    std::string lines;
    for (int i = 0; i < 8 << 20; ++i) lines += "1.2.3.4\n";
    const std::string bomb = Gzip(lines);
    lines.clear();
    lines.shrink_to_fit();
    ASSERT_LT(bomb.size(), 1u << 20);
    TrickleSource source(bomb, 1 << 20);
    LogLines reader(source);
    std::size_t count = 0;
    while (const auto line = reader.Next()) count += *line == "1.2.3.4";
    EXPECT_EQ(count, std::size_t{8} << 20);
}

struct DamageRow {
    const char* name;
    std::string bytes;
    Lines linesBefore;  // at least these come out before the error
    std::string error;
};

class DamagedGzipTest : public testing::TestWithParam<DamageRow> {};

TEST_P(DamagedGzipTest, IsAnInputErrorAfterTheLinesBeforeTheDamage) {
    const ReadResult result = ReadAll(GetParam().bytes, 64);
    EXPECT_TRUE(result.error.starts_with(GetParam().error)) << result.error;
    ASSERT_GE(result.lines.size(), GetParam().linesBefore.size());
    EXPECT_TRUE(std::equal(GetParam().linesBefore.begin(), GetParam().linesBefore.end(),
                           result.lines.begin()));
}

std::string ManyLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "192.0.2." + std::to_string(i % 250) + " - -\n";
    return text;
}

std::string Truncated(std::string bytes, std::size_t keep) {
    bytes.resize(keep);
    return bytes;
}

std::string Corrupted(std::string bytes, std::size_t at) {
    for (std::size_t i = at; i < at + 16 && i < bytes.size(); ++i) bytes[i] = '\xa5';
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedGzipTest,
    testing::Values(
        DamageRow{"cutShort",
                  Truncated(Gzip(ManyLines(20000)), 2000),
                  {"192.0.2.0 - -"},
                  "damaged gzip data: it ends too early"},
        DamageRow{"cutInTheTrailer",
                  Truncated(Gzip("a\nb\n"), Gzip("a\nb\n").size() - 3),
                  {"a", "b"},
                  "damaged gzip data: it ends too early"},
        DamageRow{"headerOnly", "\x1f\x8b", {}, "damaged gzip data"},
        DamageRow{"badMethod",
                  std::string("\x1f\x8b\x07\x00\x00\x00\x00\x00\x00\x03", 10),
                  {},
                  "damaged gzip data: "},
        DamageRow{
            "corruptedInside", Corrupted(Gzip(ManyLines(20000)), 1000), {}, "damaged gzip data: "},
        DamageRow{"badChecksum",
                  Corrupted(Gzip("a\nb\n"), Gzip("a\nb\n").size() - 8),
                  {"a", "b"},
                  "damaged gzip data: "},
        DamageRow{"junkAfterAMember", Gzip("a\n") + "junk", {"a"}, "damaged gzip data: "}),
    [](const auto& info) { return info.param.name; });

class FileSourceTest : public testing::Test {
protected:
    std::filesystem::path m_folder = std::filesystem::path(testing::TempDir()) / "log-lines";
    void SetUp() override { std::filesystem::create_directories(m_folder); }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
};

TEST_F(FileSourceTest, ReadsAFileAndKnowsItsSize) {
    const auto path = m_folder / "access.log.1";
    std::ofstream(path, std::ios::binary) << Gzip("x\ny\n");
    FileSource source(path.string());
    EXPECT_EQ(source.size(), Gzip("x\ny\n").size());
    const ReadResult result = ReadAll(source);
    EXPECT_EQ(result.lines, (Lines{"x", "y"}));
    EXPECT_EQ(result.bytesCounted, *source.size());
}

TEST_F(FileSourceTest, MissingAndUnreadableFilesAreInputErrors) {
    try {
        FileSource source((m_folder / "missing.log").string());
        ADD_FAILURE() << "opened a missing file";
    } catch (const InputError& error) {
        EXPECT_EQ(std::string(error.what()), "cannot open: No such file or directory");
    }
    FileSource folder(m_folder.string());
    EXPECT_FALSE(folder.size().has_value());
    EXPECT_EQ(ReadAll(folder).error, "cannot read: Is a directory");
}

TEST(StreamSourceTest, ABadStreamIsAnInputError) {
    std::istringstream stream("1.2.3.4\n");
    stream.setstate(std::ios::badbit);
    StreamSource source(stream);
    EXPECT_EQ(ReadAll(source).error, "cannot read");
    std::istringstream good("a\nb");
    StreamSource goodSource(good);
    EXPECT_EQ(ReadAll(goodSource).lines, (Lines{"a", "b"}));
}

}  // namespace
}  // namespace summary
