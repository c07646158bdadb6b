#include "client/CurlHttpRequest.h"
#include "tests/client/RecordedRequest.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <memory>

namespace client {
namespace {

using namespace Qt::StringLiterals;

constexpr qsizetype kBodyCap = 16 * 1024 * 1024;

class CurlHttpRequestTest : public ::testing::Test {
protected:
    QString url(const QString& path) const { return u"http://"_s + server.hostAndPort() + path; }

    // Sends body with the method given to a fresh request and returns what came back.
    QByteArray exchange(const QByteArray& method, const QByteArray& body) {
        CurlHttpRequest request;
        request.open(method, url(u"/page"_s));
        request.send(body);
        return request.responseBody();
    }

    LoopbackHttpServer server;
};

TEST_F(CurlHttpRequestTest, AbortFromAHandlerDuringTheWaitFailsTheSendAtOnce) {
    server.setStalled(true);
    CurlHttpRequest request;
    request.open("POST", url(u"/page"_s));
    // Timers keep running while send() waits; this one gives up once the server has the request.
    QTimer poll;
    QElapsedTimer sinceAbort;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (server.requestCount() == 0) return;
        poll.stop();
        sinceAbort.start();
        request.abort();
    });
    poll.start(std::chrono::milliseconds(5));
    EXPECT_THROW(request.send(), LookupFailure);
    ASSERT_TRUE(sinceAbort.isValid());
    EXPECT_LT(sinceAbort.elapsed(), 5'000);  // the time-out is 30 seconds

    // The object stays usable for the next request.
    server.setStalled(false);
    server.setAnswer(200, "again");
    request.open("POST", url(u"/page"_s));
    request.send();
    EXPECT_EQ(request.responseBody(), QByteArray("again"));
}

TEST_F(CurlHttpRequestTest, ALargeBodyGoesOutWithoutWaitingForAContinue) {
    const QByteArray body(2 * 1024 * 1024, 'x');
    exchange("POST", body);
    ASSERT_EQ(server.requestCount(), 1);
    const RecordedRequest sent = RecordedRequest::parse(server.requests().first());
    EXPECT_FALSE(sent.headers.contains("Expect: 100-continue"));
    EXPECT_TRUE(sent.headers.contains("Content-Length: 2097152"));
    EXPECT_EQ(sent.body, body);
}

TEST_F(CurlHttpRequestTest, SendsTheMethodTokenAsGiven) {
    exchange("PUT", QByteArray());
    exchange("post", "a=1");
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(RecordedRequest::parse(server.requests()[0]).requestLine, "PUT /page HTTP/1.1");
    EXPECT_EQ(RecordedRequest::parse(server.requests()[1]).requestLine, "post /page HTTP/1.1");
}

TEST_F(CurlHttpRequestTest, ReturnsTheBodyBytesUnconverted) {
    const QByteArray body("\x00\xff\xc4\xe3\r\n\x80", 7);
    server.setAnswer(200, body);
    EXPECT_EQ(exchange("POST", QByteArray()), body);
}

TEST_F(CurlHttpRequestTest, ARedirectIsNotFollowed) {
    server.setRawAnswer(
        "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:9/elsewhere\r\nContent-Length: "
        "5\r\nConnection: close\r\n\r\nmoved");
    EXPECT_EQ(exchange("POST", QByteArray()), "moved");
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(CurlHttpRequestTest, ABodyEndedByClosingTheConnectionIsRead) {
    server.setRawAnswer("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nuntil the end");
    EXPECT_EQ(exchange("POST", QByteArray()), "until the end");
}

struct FailureCase {
    const char* name;
    QByteArray rawAnswer;
};

TEST_F(CurlHttpRequestTest, FailsWithoutAWholeHttpAnswer) {
    const FailureCase cases[] = {
        {"not HTTP", "hello there\r\n"},
        {"nothing at all", QByteArray()},
        {"body shorter than its length",
         "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nConnection: close\r\n\r\nabc"},
        {"head cut off", "HTTP/1.1 200 OK\r\nContent-Le"},
    };
    for (const FailureCase& c : cases) {
        server.setRawAnswer(c.rawAnswer);
        CurlHttpRequest request;
        request.open("POST", url(u"/page"_s));
        EXPECT_THROW(request.send(), LookupFailure) << c.name;
        EXPECT_TRUE(request.responseBody().isEmpty()) << c.name;
    }
}

struct BodySizeCase {
    const char* name;
    qsizetype size;
    bool withLength;  // false: the body ends where the server closes the connection
    bool accepted;
};

TEST_F(CurlHttpRequestTest, CapsTheBodyAtSixteenMebibytes) {
    const BodySizeCase cases[] = {
        {"at the cap", kBodyCap, true, true},
        {"one byte over", kBodyCap + 1, true, false},
        {"at the cap, no length", kBodyCap, false, true},
        {"one byte over, no length", kBodyCap + 1, false, false},
    };
    for (const BodySizeCase& c : cases) {
        const QByteArray body(c.size, 'b');
        if (c.withLength) {
            server.setAnswer(200, body);
        } else {
            server.setRawAnswer("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
        }
        if (c.accepted) {
            EXPECT_EQ(exchange("POST", QByteArray()).size(), c.size) << c.name;
        } else {
            EXPECT_THROW(exchange("POST", QByteArray()), LookupFailure) << c.name;
        }
    }
}

TEST_F(CurlHttpRequestTest, TakesNothingButPlainHttp) {
    CurlHttpRequest request;
    for (const QString& wrong :
         {u"https://127.0.0.1/ips.asp"_s, u"ftp://127.0.0.1/ips.asp"_s, u"file:///etc/passwd"_s,
          u"127.0.0.1/ips.asp"_s, QString(), u"http://"_s}) {
        EXPECT_THROW(request.open("POST", wrong), LookupFailure) << wrong.toStdString();
    }
}

TEST_F(CurlHttpRequestTest, RejectsMalformedMethodsAndHeaders) {
    CurlHttpRequest request;
    EXPECT_THROW(request.open("PO ST", url(u"/"_s)), LookupFailure);
    EXPECT_THROW(request.open("", url(u"/"_s)), LookupFailure);
    EXPECT_THROW(request.open("POST\r\nX: y", url(u"/"_s)), LookupFailure);
    request.open("POST", url(u"/"_s));
    EXPECT_THROW(request.setRequestHeader("X-Name", "a\r\nInjected: yes"), LookupFailure);
    EXPECT_THROW(request.setRequestHeader("Bad Name", "a"), LookupFailure);
    EXPECT_THROW(request.setRequestHeader("", "a"), LookupFailure);
}

TEST_F(CurlHttpRequestTest, NeedsOpenBeforeHeadersAndSend) {
    CurlHttpRequest request;
    EXPECT_THROW(request.setRequestHeader("Content-Type", "text/plain"), LookupFailure);
    EXPECT_THROW(request.send(), LookupFailure);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(CurlHttpRequestTest, CanBeOpenedAgainForAnotherRequest) {
    CurlHttpRequest request;
    request.open("POST", url(u"/first"_s));
    request.setRequestHeader("Content-Type", "text/plain");
    server.setAnswer(200, "one");
    request.send("1");
    EXPECT_EQ(request.responseBody(), "one");

    request.open("POST", url(u"/second"_s));
    EXPECT_TRUE(request.responseBody().isEmpty());
    server.setAnswer(200, "two");
    request.send();
    EXPECT_EQ(request.responseBody(), "two");

    ASSERT_EQ(server.requestCount(), 2);
    const RecordedRequest second = RecordedRequest::parse(server.requests()[1]);
    EXPECT_EQ(second.requestLine, "POST /second HTTP/1.1");
    EXPECT_FALSE(second.headers.contains("Content-Type: text/plain"));  // headers do not carry over
}

TEST_F(CurlHttpRequestTest, GoesThroughTheProxyFromTheEnvironment) {
    // The loopback server plays the proxy; the host in the URL is never contacted.
    const ScopedEnvironment proxy("http_proxy", server.hostAndPort().toLatin1());
    const auto noProxy = ScopedEnvironment::unset("no_proxy");
    const auto noProxyUpper = ScopedEnvironment::unset("NO_PROXY");
    server.setAnswer(200, "via proxy");
    CurlHttpRequest request;
    request.open("POST", u"http://lookup.invalid/ips.asp"_s);
    request.send();
    EXPECT_EQ(request.responseBody(), "via proxy");
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(RecordedRequest::parse(server.requests().first()).requestLine,
              "POST http://lookup.invalid/ips.asp HTTP/1.1");
}

TEST(CreateHttpRequest, MakesAFreshRequestEachTime) {
    const std::unique_ptr<HttpRequest> first = CreateHttpRequest();
    const std::unique_ptr<HttpRequest> second = CreateHttpRequest();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(dynamic_cast<CurlHttpRequest*>(first.get()), nullptr);
    EXPECT_TRUE(first->responseBody().isEmpty());
}

}  // namespace
}  // namespace client
