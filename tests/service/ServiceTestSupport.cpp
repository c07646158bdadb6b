#include "tests/service/ServiceTestSupport.h"

#include "service/core/data/DataSetRecord.h"
#include "service/geodata/DataSetCompiler.h"

#include "service/http/ListeningSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <utility>

namespace service::test {

const GeoData& FixtureData() {
    static const GeoData data(SERVICE_FIXTURES);
    return data;
}

ScratchDataSet::ScratchDataSet() {
    std::string pattern = (std::filesystem::temp_directory_path() / "wherix-set-XXXXXX").string();
    m_root = ::mkdtemp(pattern.data());
    std::filesystem::copy(SERVICE_FIXTURE_SOURCES, m_root / "sources");
    Compile();
}

ScratchDataSet::~ScratchDataSet() {
    std::filesystem::remove_all(m_root);
}

void ScratchDataSet::Compile() const {
    CompileDataSet((m_root / "sources").string(), folder());
}

void ScratchDataSet::Reseal() const {
    DataSetRecord record = ReadDataSetRecord(folder());
    for (DataSetRecord::File& file : record.files) {
        file.size = std::filesystem::file_size(File(file.name.c_str()));
        file.crc32 = FileCrc32(File(file.name.c_str()).string());
    }
    WriteDataSetRecord(folder(), record);
}

RunningService::RunningService(bool trustProxy, const ServerLimits& limits,
                               OutwardAddressSource outwardAddress)
    : m_data(std::make_shared<const GeoData>(SERVICE_FIXTURES)),
      m_routes(m_data, trustProxy, std::move(outwardAddress)),
      m_server(m_routes, limits, [this](std::string_view line) {
          std::lock_guard lock(m_mutex);
          m_lines.emplace_back(line);
          m_logged.notify_all();
      }) {
    const int listening = OpenListeningSocket("127.0.0.1", 0);
    m_port = LocalPort(listening);
    m_server.Start(listening);
}

std::vector<std::string> RunningService::WaitForLogLines(std::size_t count) {
    std::unique_lock lock(m_mutex);
    m_logged.wait_for(lock, std::chrono::seconds(5), [&] { return m_lines.size() >= count; });
    return m_lines;
}

Connection::Connection(int port, const char* from) : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {
    EXPECT_GE(m_socket, 0);
    timeval timeout{5, 0};
    ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ADD_FAILURE() << "cannot bind to " << from;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << "cannot connect to port " << port;
    }
}

Connection::~Connection() {
    ::close(m_socket);
}

void Connection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) {
            ADD_FAILURE() << "send failed";
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string Connection::ReceiveUntil(std::string_view marker) {
    char buffer[4096];
    std::size_t found;
    while ((found = m_received.find(marker)) == std::string::npos) {
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (n <= 0) {
            ADD_FAILURE() << "connection ended before \"" << marker << "\"";
            return std::exchange(m_received, {});
        }
        m_received.append(buffer, static_cast<std::size_t>(n));
    }
    std::string upToMarker = m_received.substr(0, found + marker.size());
    m_received.erase(0, found + marker.size());
    return upToMarker;
}

std::string Connection::ReceiveAll() {
    char buffer[4096];
    for (ssize_t n; (n = ::recv(m_socket, buffer, sizeof buffer, 0)) > 0;) {
        m_received.append(buffer, static_cast<std::size_t>(n));
    }
    return std::exchange(m_received, {});
}

bool Connection::ClosedWithin(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    char buffer[4096];
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now()) {
        pollfd entry{m_socket, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t n = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (n <= 0) return true;
        m_received.append(buffer, static_cast<std::size_t>(n));
    }
    return false;
}

std::string Exchange(int port, std::string_view request) {
    Connection connection(port);
    connection.Send(request);
    return connection.ReceiveAll();
}

std::string HttpReply::Header(std::string_view name) const {
    std::size_t lineStart = head.find("\r\n");
    while (lineStart != std::string::npos && lineStart + 2 < head.size()) {
        lineStart += 2;
        const std::size_t lineEnd = head.find("\r\n", lineStart);
        const std::string_view line = std::string_view(head).substr(lineStart, lineEnd - lineStart);
        const std::size_t colon = line.find(':');
        if (colon == name.size() &&
            std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            const std::size_t valueStart = line.find_first_not_of(' ', colon + 1);
            return valueStart == std::string_view::npos ? std::string()
                                                        : std::string(line.substr(valueStart));
        }
        lineStart = lineEnd;
    }
    return {};
}

std::vector<HttpReply> ParseReplies(std::string_view received) {
    std::vector<HttpReply> replies;
    while (!received.empty()) {
        const std::size_t headEnd = received.find("\r\n\r\n");
        if (headEnd == std::string_view::npos) {
            ADD_FAILURE() << "incomplete response head: " << received;
            break;
        }
        HttpReply reply;
        reply.head = std::string(received.substr(0, headEnd + 2));
        reply.status = std::atoi(reply.head.substr(9, 3).c_str());
        const std::string length = reply.Header("Content-Length");
        const std::size_t bodyLength = length.empty() ? 0 : std::stoul(length);
        reply.body = std::string(received.substr(headEnd + 4, bodyLength));
        EXPECT_EQ(reply.body.size(), bodyLength) << "truncated body";
        received.remove_prefix(std::min(received.size(), headEnd + 4 + bodyLength));
        replies.push_back(std::move(reply));
    }
    return replies;
}

HttpReply ExchangeOne(int port, std::string_view request) {
    std::vector<HttpReply> replies = ParseReplies(Exchange(port, request));
    EXPECT_EQ(replies.size(), 1u) << request;
    return replies.empty() ? HttpReply{} : replies.front();
}

std::string QueryRequest(std::string_view method, std::string_view body) {
    return std::string(method) +
           " /ips8.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}

}  // namespace service::test
