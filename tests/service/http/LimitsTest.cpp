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
    return "POST /ips8.asp HTTP/1.1\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n" +
           Chunked(padding);
}

std::string HeadWithHeaderBytes(std::size_t bytes) {
    return "GET /healthz HTTP/1.1\r\nX-Padding: " + std::string(bytes, 'p') +
           "\r\nConnection: close\r\n\r\n";
}

struct LimitRow {
    const char* name;
    std::string request;
    int status;
};

class LimitTest : public testing::TestWithParam<LimitRow> {
protected:
    RunningService m_service;
};

// Each refusal also ends the connection: ExchangeOne reads until the server closes it and
// wants exactly one answer.
TEST_P(LimitTest, AnswersWithItsStatusAndOneAnswerOnly) {
    const HttpReply reply = ExchangeOne(m_service.port(), GetParam().request);
    EXPECT_EQ(reply.status, GetParam().status) << reply.head;
    if (reply.status >= 400) {
        EXPECT_EQ(reply.Header("Connection"), "close");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LimitTest,
    testing::Values(
        LimitRow{"chunkedWithinTheLimit", ChunkedQuery(4096), 200},
        LimitRow{"chunkedOverTheLimit", ChunkedQuery(4097), 413},
        LimitRow{"chunkedFarOverTheLimit", ChunkedQuery(8 << 20), 413},
        LimitRow{"declaredLengthOverTheLimit",
                 "POST /ips8.asp HTTP/1.1\r\nContent-Length: 524288000\r\n\r\nip=8.8.8.8", 413},
        LimitRow{"otherTransferEncoding",
                 "POST /ips8.asp HTTP/1.1\r\nTransfer-Encoding: gzip\r\n\r\nip=8.8.8.8", 501},
        LimitRow{
            "chunkedUnderAnotherCoding",
            "POST /ips8.asp HTTP/1.1\r\nTransfer-Encoding: gzip, chunked\r\n\r\n" + Chunked(10),
            501},
        LimitRow{"headOfFourKibibytes", HeadWithHeaderBytes(4096), 200},
        LimitRow{"headOfSixteenKibibytes", HeadWithHeaderBytes(16384), 431},
        LimitRow{"manyHeaderLines",
                 [] {
                     std::string head = "GET /healthz HTTP/1.1\r\n";
                     for (int i = 0; i < 1000; ++i) head += "X-" + std::to_string(i) + ": a\r\n";
                     return head + "\r\n";
                 }(),
                 431}),
    [](const auto& info) { return info.param.name; });

TEST(RequestFramingTest, BodyOfAGetIsReadAndNeverAnsweredAsARequest) {
    RunningService service;
    const std::string smuggled = "GET /healthz HTTP/1.1\r\n\r\n";
    const std::vector<HttpReply> replies = ParseReplies(test::Exchange(
        service.port(),
        "GET /healthz HTTP/1.1\r\nContent-Length: " + std::to_string(smuggled.size()) + "\r\n\r\n" +
            smuggled + "GET /nowhere HTTP/1.1\r\nConnection: close\r\n\r\n"));
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].body, "ok");
    EXPECT_EQ(replies[1].status, 404);
}

TEST(RequestFramingTest, RangeIsIgnoredAndTheWholePageSent) {
    RunningService service;
    const std::string whole =
        ExchangeOne(service.port(),
                    "GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nConnection: close\r\n\r\n")
            .body;
    for (const char* range : {"bytes=0-10", "bytes=0-0,1-1,2-2,3-3,4-4,5-5,0-"}) {
        const HttpReply reply = ExchangeOne(
            service.port(), std::string("GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nRange: ") + range +
                                "\r\nConnection: close\r\n\r\n");
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
    const HttpReply reply = ExchangeOne(
        service.port(), "GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nConnection: close\r\n\r\n");
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
    testing::Values(TimeOutRow{"sendsNothing", "", false},
                    TimeOutRow{"stopsMidHead", "GET /healthz HTTP/1.1\r\n", false},
                    TimeOutRow{"dripsItsHead", "GET /healthz HTTP/1.1\r\nX-Slow: ", true},
                    TimeOutRow{"dripsItsBody",
                               "POST /ips8.asp HTTP/1.1\r\nContent-Length: 4000\r\n\r\n", true},
                    TimeOutRow{"idleAfterAnAnswer", "GET /healthz HTTP/1.1\r\n\r\n", false}),
    [](const auto& info) { return info.param.name; });

TEST(ConnectionLimitTest, OneAddressCannotTakeMoreThanItsShare) {
    ServerLimits limits;
    limits.maxPerAddress = 3;
    RunningService service(false, limits);
    std::vector<std::unique_ptr<Connection>> held;
    for (int i = 0; i < 3; ++i) held.push_back(std::make_unique<Connection>(service.port()));
    Connection refused(service.port());
    refused.Send("GET /healthz HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(refused.ClosedWithin(2s));
    EXPECT_EQ(refused.ReceiveAll(), "") << "a fourth connection from the same address was served";
    Connection fromElsewhere(service.port(), "127.0.0.2");
    fromElsewhere.Send("GET /healthz HTTP/1.1\r\nConnection: close\r\n\r\n");
    const std::vector<HttpReply> replies = ParseReplies(fromElsewhere.ReceiveAll());
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].body, "ok");
}

}  // namespace
}  // namespace service
