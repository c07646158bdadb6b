#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace service {
namespace {

using namespace std::chrono_literals;
using test::Connection;
using test::ExchangeOne;
using test::HttpReply;
using test::ParseReplies;
using test::RunningService;

std::string Chunked(std::size_t bytes) {
    std::string body;
    for (std::size_t left = bytes; left > 0;) {
        const std::size_t piece = std::min<std::size_t>(left, 1000);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", piece);
        body += size + std::string(piece, 'x') + "\r\n";
        left -= piece;
    }
    return body + "0\r\n\r\n";
}

std::string ChunkedQuery(std::size_t padding) {
    return "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\nConnection: "
           "close\r\n\r\n" +
           Chunked(padding);
}

// A head of exactly the given size.
std::string HeadOfBytes(std::size_t bytes, std::string_view path = "/healthz") {
    const std::string start = "GET " + std::string(path) + " HTTP/1.1\r\nHost: x\r\nX-Padding: ";
    const std::string end = "\r\nConnection: close\r\n\r\n";
    return start + std::string(bytes - start.size() - end.size(), 'p') + end;
}

// A healthz request with these header lines between Host and Connection: close.
std::string WithLines(std::string_view lines) {
    return "GET /healthz HTTP/1.1\r\nHost: x\r\n" + std::string(lines) +
           "Connection: close\r\n\r\n";
}

std::string QueryWithParameters(int count) {
    std::string target = "/ips8.asp?ip=8.8.8.8";
    for (int i = 0; i < count; ++i) target += "&a" + std::to_string(i) + "=1";
    return "GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
}

struct LimitRow {
    const char* name;
    std::string request;
    int status;
    bool fromTheLibrary = false;  // a head past the connection's memory: the library's answer
};

class LimitTest : public testing::TestWithParam<LimitRow> {
protected:
    RunningService m_service;
};

// Each refusal also ends the connection: ExchangeOne reads until the server closes it and
// wants exactly one answer. A refusal says why, in JSON on the JSON path.
TEST_P(LimitTest, AnswersWithItsStatusAndOneAnswerOnly) {
    const HttpReply reply = ExchangeOne(m_service.port(), GetParam().request);
    EXPECT_EQ(reply.status, GetParam().status) << reply.head;
    if (reply.status >= 400 && !GetParam().fromTheLibrary) {
        EXPECT_EQ(reply.Header("Connection"), "close");
        const bool json = GetParam().request.find(" /json") != std::string::npos;
        EXPECT_EQ(reply.Header("Content-Type"),
                  json ? "application/json; charset=utf-8" : "text/plain; charset=utf-8");
        EXPECT_EQ(reply.body.rfind(json ? "{\"error\":" : "", 0), 0u) << reply.body;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LimitTest,
    testing::Values(
        LimitRow{"chunkedWithinTheLimit", ChunkedQuery(4096), 200},
        LimitRow{"chunkedOverTheLimit", ChunkedQuery(4097), 413},
        LimitRow{"chunkedFarOverTheLimit", ChunkedQuery(8 << 20), 413},
        LimitRow{
            "declaredLengthOverTheLimit",
            "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 524288000\r\n\r\nip=8.8.8.8",
            413},
        LimitRow{"otherTransferEncoding",
                 "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip\r\n\r\nip=8.8.8.8",
                 501},
        LimitRow{"chunkedUnderAnotherCoding",
                 "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: gzip, chunked\r\n\r\n" +
                     Chunked(10),
                 501},
        LimitRow{"jsonBodyOverTheLimit",
                 "POST /json HTTP/1.1\r\nHost: x\r\nContent-Length: 65537\r\n\r\n[", 413},
        LimitRow{"headOfEightKibibytes", HeadOfBytes(8192), 200},
        LimitRow{"headOfEightKibibytesAndOne", HeadOfBytes(8193), 431},
        LimitRow{"jsonHeadOfTwelveKilobytes", HeadOfBytes(12000, "/json"), 431},
        LimitRow{"headOfNinetyKibibytes", HeadOfBytes(90 * 1024), 431, true},
        LimitRow{"headOfSixteenKibibytes", HeadOfBytes(16384), 431},
        LimitRow{"queryOfFourHundredParameters", QueryWithParameters(400), 200},
        LimitRow{"targetOverEightKibibytes",
                 "GET /json?ip=" + std::string(8192, '1') +
                     " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
                 414},
        // Framing that could let a proxy in front and the service read different requests
        // out of the same bytes.
        LimitRow{"twoDifferentContentLengths",
                 "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n"
                 "Content-Length: 5\r\n\r\nip=8.8.8.8",
                 400},
        LimitRow{"theSameContentLengthTwice",
                 "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 10\r\n"
                 "Content-Length: 10\r\nConnection: close\r\n\r\nip=8.8.8.8",
                 200},
        LimitRow{"contentLengthAndChunked",
                 "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n"
                 "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n"
                 "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n",
                 400},
        LimitRow{"twoTransferEncodings",
                 "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n"
                 "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
                 400},
        LimitRow{"bareCarriageReturnInAValue", WithLines("X-A: a\rX-B: b\r\n"), 400},
        LimitRow{"escapeCharacterInAValue", WithLines("X-A: \x1b[31m\r\n"), 400},
        LimitRow{"spaceBeforeTheColon", WithLines("X-A : a\r\n"), 400},
        LimitRow{"tabBeforeTheColon", WithLines("X-A\t: a\r\n"), 400},
        LimitRow{"noHost", "GET /healthz HTTP/1.1\r\nConnection: close\r\n\r\n", 400},
        LimitRow{"twoHosts", WithLines("Host: y\r\n"), 400},
        LimitRow{"noHostInHttp10", "GET /healthz HTTP/1.0\r\n\r\n", 200},
        LimitRow{"jsonWithoutHost", "GET /json HTTP/1.1\r\nConnection: close\r\n\r\n", 400},
        LimitRow{"manyHeaderLines",
                 [] {
                     std::string head = "GET /healthz HTTP/1.1\r\nHost: x\r\n";
                     for (int i = 0; i < 1000; ++i) head += "X-" + std::to_string(i) + ": a\r\n";
                     return head + "\r\n";
                 }(),
                 431, true}),
    [](const auto& info) { return info.param.name; });

TEST(RequestFramingTest, BodyOfAGetIsReadAndNeverAnsweredAsARequest) {
    RunningService service;
    const std::string smuggled = "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n";
    const std::vector<HttpReply> replies = ParseReplies(test::Exchange(
        service.port(), "GET /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                            std::to_string(smuggled.size()) + "\r\n\r\n" + smuggled +
                            "GET /nowhere HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_TRUE(replies[0].body.starts_with("ok\n")) << replies[0].body;
    EXPECT_EQ(replies[1].status, 404);
}

TEST(RequestFramingTest, RangeIsIgnoredAndTheWholePageSent) {
    RunningService service;
    const std::string whole =
        ExchangeOne(service.port(),
                    "GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
            .body;
    for (const char* range : {"bytes=0-10", "bytes=0-0,1-1,2-2,3-3,4-4,5-5,0-"}) {
        const HttpReply reply = ExchangeOne(
            service.port(), std::string("GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nRange: ") +
                                range + "\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(reply.status, 200) << range;
        EXPECT_EQ(reply.Header("Content-Range"), "") << range;
        EXPECT_EQ(reply.body, whole) << range;
    }
}

// Connections from one client that send nothing or one byte at a time hold no thread: a
// query on another connection is answered at once.
TEST(SlowClientTest, IdleAndDrippingConnectionsDoNotDelayOthers) {
    RunningService service;
    std::vector<std::unique_ptr<Connection>> idle;
    for (int i = 0; i < 300; ++i) idle.push_back(std::make_unique<Connection>(service.port()));
    std::vector<std::unique_ptr<Connection>> dripping;
    for (int i = 0; i < 100; ++i) dripping.push_back(std::make_unique<Connection>(service.port()));
    const std::string head = "POST /ips8.asp HTTP/1.1\r\nHost: x\r\n";
    for (std::size_t byte = 0; byte < 3; ++byte) {
        for (auto& connection : dripping) connection->Send(head.substr(byte, 1));
        std::this_thread::sleep_for(100ms);
    }
    const auto start = std::chrono::steady_clock::now();
    const HttpReply reply =
        ExchangeOne(service.port(),
                    "GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(reply.status, 200);
    EXPECT_LT(took, 500ms);
}

ServerLimits ShortTimes() {
    ServerLimits limits;
    limits.requestTime = 2s;
    limits.idleTime = 1s;
    return limits;
}

struct TimeOutRow {
    const char* name;
    std::string sentFirst;
    bool keepsDripping;
};

class TimeOutTest : public testing::TestWithParam<TimeOutRow> {};

// With a 2 s request time and 1 s idle time, each kind of slow connection is closed
// within a few seconds, while a client that keeps sending is not saved by it.
TEST_P(TimeOutTest, ClosesTheConnection) {
    RunningService service(false, ShortTimes());
    Connection connection(service.port());
    connection.Send(GetParam().sentFirst);
    const auto start = std::chrono::steady_clock::now();
    bool closed = false;
    for (int round = 0; round < 40 && !closed; ++round) {
        if (GetParam().keepsDripping) connection.Send("x");
        closed = connection.ClosedWithin(200ms);
    }
    EXPECT_TRUE(closed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TimeOutTest,
    testing::Values(
        TimeOutRow{"sendsNothing", "", false},
        TimeOutRow{"stopsMidHead", "GET /healthz HTTP/1.1\r\nHost: x\r\n", false},
        TimeOutRow{"dripsItsHead", "GET /healthz HTTP/1.1\r\nHost: x\r\nX-Slow: ", true},
        TimeOutRow{"dripsItsBody",
                   "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 4000\r\n\r\n", true},
        TimeOutRow{"idleAfterAnAnswer", "GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n", false}),
    [](const auto& info) { return info.param.name; });

ServerLimits ThreeConnections() {
    ServerLimits limits;
    limits.maxConnections = 3;
    return limits;
}

// Opens a connection and gives the server a moment to take it, so that connections opened
// one after another have waited for their first request for different times.
std::unique_ptr<Connection> Opened(int port, std::string_view sent = "") {
    auto connection = std::make_unique<Connection>(port);
    if (!sent.empty()) connection->Send(sent);
    std::this_thread::sleep_for(50ms);
    return connection;
}

TEST(ConnectionLimitTest, WhenFullTheLongestIdleConnectionMakesRoom) {
    RunningService service(false, ThreeConnections());
    std::vector<std::unique_ptr<Connection>> held;
    for (int i = 0; i < 3; ++i) held.push_back(Opened(service.port()));
    const auto start = std::chrono::steady_clock::now();
    const HttpReply reply = ExchangeOne(
        service.port(), "GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(reply.body.starts_with("ok\n")) << reply.body;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(held[0]->ClosedWithin(1s)) << "the longest idle connection stayed";
    EXPECT_FALSE(held[2]->ClosedWithin(200ms)) << "a newer idle connection was closed";
}

TEST(ConnectionLimitTest, WhenFullOfRequestsUnderWayANewConnectionIsClosedAtOnce) {
    RunningService service(false, ThreeConnections());
    std::vector<std::unique_ptr<Connection>> held;
    for (int i = 0; i < 3; ++i) {
        held.push_back(Opened(service.port(), "GET /healthz HTTP/1.1\r\nHost: x\r\n"));
    }
    const auto start = std::chrono::steady_clock::now();
    Connection refused(service.port());
    refused.Send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(refused.ClosedWithin(1s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(refused.ReceiveAll(), "");
    held[1]->Send("\r\n");
    EXPECT_EQ(ParseReplies(held[1]->ReceiveUntil("all files\n")).size(), 1u)
        << "a request under way was disturbed";
}

TEST(ConnectionLimitTest, OneAddressCannotTakeMoreThanItsShare) {
    ServerLimits limits;
    limits.maxPerAddress = 3;
    RunningService service(false, limits);
    std::vector<std::unique_ptr<Connection>> held;
    for (int i = 0; i < 3; ++i) held.push_back(std::make_unique<Connection>(service.port()));
    Connection refused(service.port());
    refused.Send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(refused.ClosedWithin(2s));
    EXPECT_EQ(refused.ReceiveAll(), "") << "a fourth connection from the same address was served";
    Connection fromElsewhere(service.port(), "127.0.0.2");
    fromElsewhere.Send("GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const std::vector<HttpReply> replies = ParseReplies(fromElsewhere.ReceiveAll());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0].body.starts_with("ok\n")) << replies[0].body;
}

}  // namespace
}  // namespace service
