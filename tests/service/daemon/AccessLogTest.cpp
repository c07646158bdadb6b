#include "service/daemon/AccessLog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace service {
namespace {

std::string TemporaryPath() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "wherix-access-XXXXXX").string();
    ::close(::mkstemp(pattern.data()));
    return pattern;
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

TEST(AccessLogTest, LinesFromManyThreadsArriveWholeAndInOrderPerThread) {
    const std::string path = TemporaryPath();
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 20000;
    {
        AccessLog log(path, [](std::string_view) {});
        std::vector<std::thread> writers;
        for (int t = 0; t < kThreads; ++t) {
            writers.emplace_back([&log, t] {
                for (int i = 0; i < kLinesEach; ++i) {
                    log.Write("thread " + std::to_string(t) + " line " + std::to_string(i));
                }
            });
        }
        for (auto& writer : writers) writer.join();
    }
    const std::vector<std::string> lines = Lines(path);
    std::filesystem::remove(path);
    ASSERT_EQ(lines.size(), std::size_t{kThreads * kLinesEach});
    std::map<int, int> next;
    for (const std::string& line : lines) {
        int thread = -1;
        int number = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d", &thread, &number), 2) << line;
        EXPECT_EQ(number, next[thread]++) << line;
    }
}

TEST(AccessLogTest, ALineGoesOutWithinASecondWithoutMoreTraffic) {
    const std::string path = TemporaryPath();
    AccessLog log(path, [](std::string_view) {});
    log.Write("127.0.0.1 \"GET /healthz\" 200 2");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (Lines(path).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(Lines(path), std::vector<std::string>{"127.0.0.1 \"GET /healthz\" 200 2"});
    std::filesystem::remove(path);
}

// The notices a log gives, kept for the test.
class Notices {
public:
    AccessLog::NoticeSink Sink() {
        return [this](std::string_view line) {
            std::lock_guard lock(m_mutex);
            m_lines.emplace_back(line);
        };
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

TEST(AccessLogTest, AFullDeviceIsSaidOnceAndNeverStopsTheWriter) {
    Notices notices;
    AccessLog log("/dev/full", notices.Sink());
    for (int batch = 0; batch < 3; ++batch) {
        log.Write("a line");
        log.Flush();
    }
    EXPECT_EQ(notices.Lines(),
              std::vector<std::string>{"access log: cannot write to /dev/full: No space left on "
                                       "device; its lines are dropped until it can be written "
                                       "again"});
}

// Opening a named pipe nobody reads neither waits nor fails; once a reader opens it, the
// log says so with the number of lines lost and its lines reach the reader.
TEST(AccessLogTest, APipeNobodyReadsIsSaidAndTakenUpOnceReadFrom) {
    const std::string path = TemporaryPath();
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    Notices notices;
    const auto start = std::chrono::steady_clock::now();
    AccessLog log(path, notices.Sink());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    log.Write("lost 1");
    log.Write("lost 2");
    log.Flush();
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    log.Write("kept");
    log.Flush();
    char received[64] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 5);
    EXPECT_STREQ(received, "kept\n");
    EXPECT_EQ(notices.Lines(),
              (std::vector<std::string>{
                  "access log: cannot write to " + path +
                      ": nobody reads the pipe; its lines are dropped until it can be written "
                      "again",
                  "access log: writing to " + path + " works again; 2 lines were dropped"}));
    ::close(reader);
    std::filesystem::remove(path);
}

// Log rotation: the file renamed away keeps what was written before the reopen, a new
// file of the old name gets the rest, the lines still gathered included.
TEST(AccessLogTest, ReopenStartsANewFileUnderTheOldName) {
    const std::string path = TemporaryPath();
    const std::string rotated = path + ".1";
    Notices notices;
    {
        AccessLog log(path, notices.Sink());
        log.Write("before");
        log.Flush();
        log.Write("gathered");
        std::filesystem::rename(path, rotated);
        log.Reopen();
        log.Write("after");
    }
    EXPECT_EQ(Lines(rotated), std::vector<std::string>{"before"});
    EXPECT_EQ(Lines(path), (std::vector<std::string>{"gathered", "after"}));
    EXPECT_EQ(notices.Lines(), std::vector<std::string>{});
    std::filesystem::remove(path);
    std::filesystem::remove(rotated);
}

// A log whose folder has gone cannot be opened again: it says why and keeps the file it has.
TEST(AccessLogTest, ReopenThatFailsKeepsTheFileItHas) {
    const std::filesystem::path folder = TemporaryPath() + ".d";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "access.log").string();
    const std::string moved = folder.string() + ".old";
    Notices notices;
    {
        AccessLog log(path, notices.Sink());
        std::filesystem::rename(folder, moved);
        log.Reopen();
        log.Write("still written");
    }
    EXPECT_EQ(Lines(moved + "/access.log"), std::vector<std::string>{"still written"});
    EXPECT_EQ(notices.Lines(),
              std::vector<std::string>{"access log: cannot open the access log " + path +
                                       ": No such file or directory; still "
                                       "writing to the file opened before"});
    std::filesystem::remove_all(moved);
}

}  // namespace
}  // namespace service
