#include "service/daemon/AccessLog.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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
        AccessLog log(path);
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
    AccessLog log(path);
    log.Write("127.0.0.1 \"GET /healthz\" 200 2");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (Lines(path).empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(Lines(path), std::vector<std::string>{"127.0.0.1 \"GET /healthz\" 200 2"});
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace service
