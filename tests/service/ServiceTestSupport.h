#pragma once

#include "service/core/GeoData.h"
#include "service/http/ReloadableData.h"
#include "service/http/Routes.h"
#include "service/http/Server.h"
#include "service/http/ServerLimits.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace service::test {

// The fixture databases, loaded once per test program.
const GeoData& FixtureData();

// A copy of the fixture sources and a data set compiled from them, in a temporary folder
// removed with the object, for tests that change the sources or damage the set.
class ScratchDataSet {
public:
    ScratchDataSet();
    ~ScratchDataSet();
    ScratchDataSet(const ScratchDataSet&) = delete;
    ScratchDataSet& operator=(const ScratchDataSet&) = delete;

    std::filesystem::path Source(const char* file) const { return m_root / "sources" / file; }
    std::filesystem::path File(const char* file) const { return m_root / "set" / file; }
    std::string folder() const { return (m_root / "set").string(); }

    // Compiles the sources into the set again. Throws DataError.
    void Compile() const;
    // Records the set's files as they now are, sizes and checksums, so that a damaged file
    // gets past the record and meets the checks behind it.
    void Reseal() const;

private:
    std::filesystem::path m_root;
};

// The real server on 127.0.0.1 and a free port, serving the fixtures until the object
// goes; it keeps the log lines it writes.
class RunningService {
public:
    // By default this machine has no address but loopback, so a loopback caller's own
    // address stays 127.0.0.1 whatever machine the tests run on.
    explicit RunningService(
        bool trustProxy = false, const ServerLimits& limits = {},
        OutwardAddressSource outwardAddress = [] { return std::optional<std::uint32_t>(); });

    int port() const { return m_port; }

    // Waits (a few seconds at most) until count lines have been logged; returns them all.
    std::vector<std::string> WaitForLogLines(std::size_t count);

private:
    std::mutex m_mutex;
    std::condition_variable m_logged;
    std::vector<std::string> m_lines;
    ReloadableData m_data;
    Routes m_routes;
    Server m_server;
    int m_port = 0;
};

// A client connection to 127.0.0.1:port, from the loopback address given; every receive
// gives up after five seconds.
class Connection {
public:
    explicit Connection(int port, const char* from = "127.0.0.1");
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Send(std::string_view bytes);
    // Received bytes up to and including the first occurrence of the marker.
    std::string ReceiveUntil(std::string_view marker);
    // Received bytes until the server closes the connection.
    std::string ReceiveAll();
    // Whether the server has closed the connection, waiting up to the given time for it.
    bool ClosedWithin(std::chrono::milliseconds wait);

private:
    int m_socket = -1;
    std::string m_received;
};

// Sends the bytes as they are to 127.0.0.1:port and returns everything received until the
// server closes the connection.
std::string Exchange(int port, std::string_view request);

struct HttpReply {
    int status = 0;
    std::string head;  // status line and header lines, CR LF kept
    std::string body;

    // The value of the first header line of that name (any case), or empty.
    std::string Header(std::string_view name) const;
};

// Splits received bytes into the responses they hold, each framed by its Content-Length.
std::vector<HttpReply> ParseReplies(std::string_view received);

// The one response of an exchange; fails the test when there is not exactly one.
HttpReply ExchangeOne(int port, std::string_view request);

// A request for the query page with this method and form body, and Connection: close.
std::string QueryRequest(std::string_view method, std::string_view body);

}  // namespace service::test
