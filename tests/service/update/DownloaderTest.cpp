#include "service/update/Downloader.h"

#include "service/update/UpdateError.h"
#include "tests/service/update/MirrorServer.h"
#include "tests/service/update/ScopedVariable.h"
#include "tests/service/update/TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

using namespace std::chrono_literals;
using test::MirrorServer;
using testing::HasSubstr;

namespace update {

void PrintTo(Fetched fetched, std::ostream* out) {
    *out << (fetched == Fetched::kNew           ? "kNew"
             : fetched == Fetched::kNotModified ? "kNotModified"
                                                : "kMissing");
}

}  // namespace update

namespace {

namespace fs = std::filesystem;
using test::Contents;
using test::FileNames;

constexpr char kUrl[] = "https://example.org/free/data-2026-12.mmdb.gz";
constexpr char kMirrorPath[] = "/example.org/free/data-2026-12.mmdb.gz";
constexpr std::time_t kPublished = 1'780'000'000;

void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

// A mirror holding one database file, and a downloader pointed at it.
class DownloaderTest : public testing::Test {
protected:
    DownloaderTest() {
        WriteFile(m_folder.Path() / "mirror" / (kMirrorPath + 1), kBody);
        m_server.SetLastModified(kMirrorPath, kPublished);
    }

    update::DownloadOptions Options() const {
        update::DownloadOptions options;
        options.mirror = m_server.Url();
        options.attempts = 3;
        options.firstBackoff = 2ms;
        options.stallTime = 1s;
        return options;
    }

    const std::string kBody = std::string(100'000, 'd') + "end";
    test::TemporaryFolder m_folder;
    MirrorServer m_server{m_folder.Path() / "mirror"};
    fs::path m_destination = m_folder.Path() / "download";
};

struct FetchCase {
    const char* name;
    std::function<void(MirrorServer&, update::DownloadOptions&)> arrange;
    std::optional<std::time_t> ifModifiedSince;
    std::optional<update::Fetched> fetched;  // nullopt: an UpdateError saying `failure`
    const char* failure;
    int requests;
};

const FetchCase kFetchCases[] = {
    {"new", [](auto&, auto&) {}, std::nullopt, update::Fetched::kNew, "", 1},
    {"not modified since it was published", [](auto&, auto&) {}, kPublished,
     update::Fetched::kNotModified, "", 1},
    {"published after the last time", [](auto&, auto&) {}, kPublished - 1, update::Fetched::kNew,
     "", 1},
    {"404 is missing", [](MirrorServer& server, auto&) { server.AnswerStatus(kMirrorPath, 404); },
     std::nullopt, update::Fetched::kMissing, "", 1},
    {"410 is missing", [](MirrorServer& server, auto&) { server.AnswerStatus(kMirrorPath, 410); },
     std::nullopt, update::Fetched::kMissing, "", 1},
    {"403 is not tried again",
     [](MirrorServer& server, auto&) { server.AnswerStatus(kMirrorPath, 403); }, std::nullopt,
     std::nullopt, "the server answered 403", 1},
    {"429 is not tried again either",
     [](MirrorServer& server, auto&) { server.AnswerStatus(kMirrorPath, 429); }, std::nullopt,
     std::nullopt, "the server answered 429", 1},
    {"500 once, then the file",
     [](MirrorServer& server, auto&) { server.AnswerStatus(kMirrorPath, 500); }, std::nullopt,
     update::Fetched::kNew, "", 2},
    {"503 twice, then the file on the last attempt",
     [](MirrorServer& server, auto&) { server.AnswerStatus(kMirrorPath, 503, 2); }, std::nullopt,
     update::Fetched::kNew, "", 3},
    {"500 for ever",
     [](MirrorServer& server, auto&) {
         server.AnswerStatus(kMirrorPath, 500, MirrorServer::kAlways);
     },
     std::nullopt, std::nullopt, "the server answered 500 (3 attempts)", 3},
    {"sent on to another address",
     [](MirrorServer& server, auto&) {
         server.Redirect(kMirrorPath, server.Url() + "/cdn.example/data.gz");
         server.SetBody("/cdn.example/data.gz", std::string(100'000, 'd') + "end");
     },
     std::nullopt, update::Fetched::kNew, "", 1},
    {"sent on to a local file",
     [](MirrorServer& server, auto&) { server.Redirect(kMirrorPath, "file:///etc/passwd"); },
     std::nullopt, std::nullopt, "Protocol \"file\" not supported", 1},
    {"sent on in a circle",
     [](MirrorServer& server, auto&) {
         server.Redirect(kMirrorPath, kMirrorPath, MirrorServer::kAlways);
     },
     std::nullopt, std::nullopt, "Maximum (10) redirects followed", 11},
    {"cut off once, then whole",
     [](MirrorServer& server, auto&) { server.CutAfter(kMirrorPath, 70'000); }, std::nullopt,
     update::Fetched::kNew, "", 2},
    {"cut off every time",
     [](MirrorServer& server, auto&) {
         server.CutAfter(kMirrorPath, 70'000, MirrorServer::kAlways);
     },
     std::nullopt, std::nullopt, "(3 attempts)", 3},
    {"larger than allowed, as announced",
     [](auto&, update::DownloadOptions& options) { options.maxBytes = 100'002; }, std::nullopt,
     std::nullopt, "larger than 100002 bytes", 1},
    {"larger than allowed, found while reading",
     [](MirrorServer& server, update::DownloadOptions& options) {
         server.SendChunked(kMirrorPath);
         options.maxBytes = 100'002;
     },
     std::nullopt, std::nullopt, "larger than 100002 bytes", 1},
    {"exactly as large as allowed",
     [](MirrorServer& server, update::DownloadOptions& options) {
         server.SendChunked(kMirrorPath);
         options.maxBytes = 100'003;
     },
     std::nullopt, update::Fetched::kNew, "", 1},
};

// The destination holds an older download at first: a new body replaces it, and anything
// else leaves no file at all.
TEST_F(DownloaderTest, FetchesIntoTheDestinationOrLeavesNothing) {
    for (const FetchCase& row : kFetchCases) {
        SCOPED_TRACE(row.name);
        test::TemporaryFolder folder;
        MirrorServer server(m_folder.Path() / "mirror");
        server.SetLastModified(kMirrorPath, kPublished);
        update::DownloadOptions options = Options();
        options.mirror = server.Url();
        row.arrange(server, options);
        const fs::path destination = folder.Path() / "download";
        WriteFile(destination, "an older download");

        update::Downloader downloader(options);
        if (row.fetched) {
            EXPECT_EQ(downloader.Fetch(kUrl, destination, row.ifModifiedSince), *row.fetched);
        } else {
            try {
                downloader.Fetch(kUrl, destination, row.ifModifiedSince);
                ADD_FAILURE() << "no error";
            } catch (const update::UpdateError& error) {
                EXPECT_THAT(error.what(), HasSubstr(row.failure));
                EXPECT_THAT(error.what(), HasSubstr(server.Url() + kMirrorPath));
            }
        }
        if (row.fetched == update::Fetched::kNew) {
            EXPECT_TRUE(Contents(destination) == kBody) << Contents(destination).size() << " bytes";
        } else {
            EXPECT_FALSE(fs::exists(destination));
        }
        EXPECT_EQ(server.Requests(kMirrorPath), row.requests);
        EXPECT_EQ(FileNames(folder.Path()), row.fetched == update::Fetched::kNew
                                                ? std::set<std::string>{"download"}
                                                : std::set<std::string>{});
    }
}

TEST_F(DownloaderTest, NamesItselfAndAsksConditionally) {
    update::Downloader downloader(Options());
    ASSERT_EQ(downloader.Fetch(kUrl, m_destination, kPublished + 86400),
              update::Fetched::kNotModified);
    EXPECT_EQ(m_server.LastHeader(kMirrorPath, "User-Agent"), "wherix-update/" LOKARO_VERSION);
    EXPECT_EQ(m_server.LastHeader(kMirrorPath, "If-Modified-Since"),
              "Fri, 29 May 2026 20:26:40 GMT");

    ASSERT_EQ(downloader.Fetch(kUrl, m_destination), update::Fetched::kNew);
    EXPECT_EQ(m_server.LastHeader(kMirrorPath, "If-Modified-Since"), std::nullopt);
}

// libcurl measures the speed over the last few seconds, so a server that stalls after some
// bytes is given up a few seconds later than one that sends none.
TEST_F(DownloaderTest, GivesUpOnAStalledServer) {
    m_server.StallAfter(kMirrorPath, 0, MirrorServer::kAlways);
    update::DownloadOptions options = Options();
    options.attempts = 2;
    update::Downloader downloader(options);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(downloader.Fetch(kUrl, m_destination), update::UpdateError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(m_server.Requests(kMirrorPath), 2);
    EXPECT_FALSE(fs::exists(m_destination));
}

TEST_F(DownloaderTest, AStalledAnswerReleasedInTimeCompletes) {
    m_server.StallAfter(kMirrorPath, 1000);
    update::DownloadOptions options = Options();
    options.stallTime = 30s;
    update::Downloader downloader(options);
    std::thread release([&] {
        std::this_thread::sleep_for(200ms);
        m_server.Release();
    });
    EXPECT_EQ(downloader.Fetch(kUrl, m_destination), update::Fetched::kNew);
    release.join();
    EXPECT_TRUE(Contents(m_destination) == kBody) << Contents(m_destination).size() << " bytes";
    EXPECT_EQ(m_server.Requests(kMirrorPath), 1);
}

TEST_F(DownloaderTest, TriesAgainWhenNobodyListens) {
    update::DownloadOptions options = Options();
    options.mirror = "http://127.0.0.1:9";
    update::Downloader downloader(options);
    try {
        downloader.Fetch(kUrl, m_destination);
        ADD_FAILURE() << "no error";
    } catch (const update::UpdateError& error) {
        EXPECT_THAT(error.what(), HasSubstr("http://127.0.0.1:9" + std::string(kMirrorPath)));
        EXPECT_THAT(error.what(), HasSubstr("(3 attempts)"));
    }
    EXPECT_FALSE(fs::exists(m_destination));
}

TEST_F(DownloaderTest, ADestinationThatCannotBeWrittenAsksNothing) {
    update::Downloader downloader(Options());
    try {
        downloader.Fetch(kUrl, m_folder.Path() / "no-such-folder" / "download");
        ADD_FAILURE() << "no error";
    } catch (const update::UpdateError& error) {
        EXPECT_THAT(error.what(), HasSubstr("cannot create " + m_folder.Path().string() +
                                            "/no-such-folder/download: No such file"));
    }
    EXPECT_EQ(m_server.Requests(kMirrorPath), 0);
}

TEST_F(DownloaderTest, FetchesTextIntoMemory) {
    m_server.SetBody("/example.org/record.json", "{\"latest\": \"1.0\"}");
    update::Downloader downloader(Options());
    EXPECT_EQ(downloader.FetchText("https://example.org/record.json"), "{\"latest\": \"1.0\"}");
    EXPECT_THROW(downloader.FetchText("https://example.org/record.json", 10), update::UpdateError);
    try {
        downloader.FetchText("https://example.org/none.json");
        ADD_FAILURE() << "no error";
    } catch (const update::UpdateError& error) {
        EXPECT_THAT(error.what(), HasSubstr("/example.org/none.json: no such file"));
    }
}

TEST_F(DownloaderTest, GoesThroughTheProxyTheEnvironmentNames) {
    m_server.SetBody("http://example.invalid/a.txt", "through the proxy");
    update::DownloadOptions options = Options();
    options.mirror.clear();
    const test::ScopedVariable proxy("http_proxy", m_server.Url());
    update::Downloader downloader(options);
    EXPECT_EQ(downloader.FetchText("http://example.invalid/a.txt"), "through the proxy");
}

struct AddressCase {
    const char* name;
    const char* mirror;
    const char* url;
    const char* address;  // empty: refused
};

const AddressCase kAddressCases[] = {
    {"no mirror", "", "https://example.org/free/a.gz", "https://example.org/free/a.gz"},
    {"mirror", "http://127.0.0.1:8000", "https://example.org/free/a.gz",
     "http://127.0.0.1:8000/example.org/free/a.gz"},
    {"mirror with a folder and a slash", "http://mirror.example/geo/",
     "https://example.org/free/a.gz", "http://mirror.example/geo/example.org/free/a.gz"},
    {"plain http too", "http://m.example", "http://example.org/a",
     "http://m.example/example.org/a"},
    {"a port is kept", "http://m.example", "https://example.org:8443/a",
     "http://m.example/example.org:8443/a"},
    {"a query is kept", "http://m.example", "https://example.org/a?month=12",
     "http://m.example/example.org/a?month=12"},
    {"escapes are kept", "http://m.example", "https://example.org/@scope%2fname",
     "http://m.example/example.org/@scope%2fname"},
    {"no climbing out of the host's folder", "http://m.example", "https://example.org/a/../../b",
     "http://m.example/example.org/b"},
    {"ftp refused", "http://m.example", "ftp://example.org/a", ""},
    {"files refused", "", "file:///etc/passwd", ""},
    {"not an address", "http://m.example", "example.org/a", ""},
};

TEST(DownloaderAddressTest, MapsAddressesOntoTheMirror) {
    for (const AddressCase& row : kAddressCases) {
        SCOPED_TRACE(row.name);
        update::DownloadOptions options;
        options.mirror = row.mirror;
        const update::Downloader downloader(options);
        if (*row.address != '\0') {
            EXPECT_EQ(downloader.AddressOf(row.url), row.address);
        } else {
            EXPECT_THROW(downloader.AddressOf(row.url), update::UpdateError);
        }
    }
}

}  // namespace
