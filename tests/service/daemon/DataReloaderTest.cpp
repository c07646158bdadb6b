#include "service/daemon/DataReloader.h"

#include "tests/service/ServiceTestSupport.h"

#include <sched.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace service {
namespace {

using namespace std::chrono_literals;

// The scheduling policies of this process's threads, from /proc.
std::vector<int> ThreadPolicies() {
    std::vector<int> policies;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream file(task.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(file)), {});
        // The fields after the command, which is in parentheses; the policy is the 41st.
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        for (int number = 3; number <= 41 && fields >> field; ++number) {
            if (number == 41) policies.push_back(std::stoi(field));
        }
    }
    return policies;
}

// Bounded by far more than a reload takes: at the lowest priority it may wait for other work.
bool WaitUntilIdle(const DataReloader& reloader) {
    for (int i = 0; i < 3000 && reloader.Busy(); ++i) std::this_thread::sleep_for(10ms);
    return !reloader.Busy();
}

TEST(DataReloaderTest, ReloadsOnItsOwnLowPriorityThread) {
    const auto before = ThreadPolicies();
    ReloadableData data(std::make_shared<const GeoData>(SERVICE_FIXTURES));
    // Not held: the reloader lets go of a replaced set once nobody holds it.
    const GeoData* first = data.Current().get();
    std::vector<std::string> lines;
    std::mutex mutex;
    DataReloader reloader(data, {SERVICE_FIXTURES}, [&](std::string_view line) {
        std::lock_guard lock(mutex);
        lines.emplace_back(line);
    });
    const auto batchThreads = [](const std::vector<int>& policies) {
        return std::count(policies.begin(), policies.end(), SCHED_BATCH);
    };
    // The thread sets its own policy when it starts.
    for (int i = 0; i < 500 && batchThreads(ThreadPolicies()) == batchThreads(before); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(batchThreads(ThreadPolicies()), batchThreads(before) + 1);

    reloader.Request();
    ASSERT_TRUE(WaitUntilIdle(reloader));
    EXPECT_NE(data.Current().get(), first);
    std::lock_guard lock(mutex);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), std::string("data reloaded from ") + SERVICE_FIXTURES);
}

// Requests that come while a reload is under way make one more reload, not one each.
TEST(DataReloaderTest, RequestsDuringAReloadComeToOneMore) {
    ReloadableData data(std::make_shared<const GeoData>(SERVICE_FIXTURES));
    int reloads = 0;
    std::mutex mutex;
    DataReloader reloader(data, {SERVICE_FIXTURES}, [&](std::string_view line) {
        std::lock_guard lock(mutex);
        if (line.starts_with("data reloaded from ")) ++reloads;
    });
    for (int i = 0; i < 20; ++i) reloader.Request();
    ASSERT_TRUE(WaitUntilIdle(reloader));
    std::lock_guard lock(mutex);
    EXPECT_GE(reloads, 1);
    EXPECT_LE(reloads, 2);
}

}  // namespace
}  // namespace service
