#include "client/CurlHttpRequest.h"
#include "client/PageDecoding.h"
#include "client/PageRequests.h"
#include "client/PageScraping.h"
#include "client/ServiceHost.h"
#include "tests/client/RecordedRequest.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>

namespace client {
namespace {

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

// A query page as the service sends it, in GBK: three items about the address.
const QByteArray kQueryPage =
    "<html><body><ul><li>\xb2\xe9\xd1\xaf\xbd\xe1\xb9\xfb\xa3\xba"
    "8.8.8.8</li>"
    "<li>\xb1\xbe\xd5\xbe\xca\xfd\xbe\xdd\xa3\xba\xc3\xc0\xb9\xfa</li>"
    "<li>\xb2\xce\xbf\xbc\xca\xfd\xbe\xdd\xa3\xbaGoogle</li></ul></body></html>";

// The own-address page in GBK: the address after a full-width colon and "[", then the
// location "Beijing" after "from" and a full-width colon.
const QByteArray kOwnAddressPage =
    "<p>\xc4\xfa\xb5\xc4IP\xa3\xba[1.2.3.4] \xc0\xb4\xd7\xd4\xa3\xba\xb1\xb1\xbe\xa9<br/></p>";

// A request object that counts how many of its kind are alive, so tests see when the
// lookups let theirs go.
class TrackedRequest final : public HttpRequest {
public:
    explicit TrackedRequest(int& alive, const TransferLimits& limits)
        : m_alive(alive), m_request(limits) {
        ++m_alive;
    }
    ~TrackedRequest() override { --m_alive; }
    void open(const QByteArray& method, const QString& url) override {
        m_request.open(method, url);
    }
    void setRequestHeader(const QByteArray& name, const QByteArray& value) override {
        m_request.setRequestHeader(name, value);
    }
    void send(const QByteArray& body) override { m_request.send(body); }
    QByteArray responseBody() const override { return m_request.responseBody(); }
    void abort() override { m_request.abort(); }

private:
    int& m_alive;
    CurlHttpRequest m_request;
};

class PageRequestsTest : public ::testing::Test {
protected:
    HttpRequestFactory trackedRequests(const TransferLimits& limits = {}) {
        return [this, limits] { return std::make_unique<TrackedRequest>(alive, limits); };
    }
    QByteArray hostHeader() const { return "Host: " + server.hostAndPort().toLatin1(); }
    QString ownAddressUrl() const { return ServiceUrl(QString::fromUtf16(kOwnAddressPath)); }

    LoopbackHttpServer server;
    ScopedEnvironment host{"LOKARO_SERVICE_HOST", server.hostAndPort().toLatin1()};
    int alive = 0;
};

TEST_F(PageRequestsTest, TheQueryGoesOutAsAFormPost) {
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
    EXPECT_EQ(server.requestCount(), 0);  // the preparation stage sends nothing
    TransferQuery(*request, QueryBody(u"8.8.8.8"_s));

    ASSERT_EQ(server.requestCount(), 1);
    const QByteArray wire = server.requests().first();
    const RecordedRequest sent = RecordedRequest::parse(wire);
    EXPECT_EQ(sent.requestLine, "POST /ips8.asp HTTP/1.1");
    EXPECT_EQ(sent.headers, QList<QByteArray>({"Accept: */*", "Content-Length: 19",
                                               "Content-Type: application/x-www-form-urlencoded",
                                               hostHeader(), "User-Agent: " EXPECTED_USER_AGENT}));
    EXPECT_EQ(sent.body, "ip=8.8.8.8&action=2");
    EXPECT_TRUE(wire.endsWith("\r\n\r\nip=8.8.8.8&action=2"));  // nothing after the body
}

TEST_F(PageRequestsTest, TheOwnAddressRequestIsABarePost) {
    PostForPage(CreateHttpRequest, ownAddressUrl());
    ASSERT_EQ(server.requestCount(), 1);
    const QByteArray wire = server.requests().first();
    const RecordedRequest sent = RecordedRequest::parse(wire);
    EXPECT_EQ(sent.requestLine, "POST /ips.asp HTTP/1.1");
    EXPECT_EQ(sent.headers, QList<QByteArray>({"Accept: */*", "Content-Length: 0", hostHeader(),
                                               "User-Agent: " EXPECTED_USER_AGENT}));
    EXPECT_TRUE(wire.endsWith("\r\n\r\n"));
}

struct BodyCase {
    QString address;
    QByteArray body;
};

TEST(QueryBody, IsTheAddressBetweenTheTwoFormFields) {
    const BodyCase cases[] = {
        {u"8.8.8.8"_s, "ip=8.8.8.8&action=2"},
        {u"1.2.3.0"_s, "ip=1.2.3.0&action=2"},
        {u"255.255.255.255"_s, "ip=255.255.255.255&action=2"},
        {QString(), "ip=&action=2"},
        // Not a checked address: it cannot add fields of its own.
        {u"1.2.3.4&action=9"_s, "ip=1.2.3.4%26action%3D9&action=2"},
    };
    for (const BodyCase& c : cases) {
        EXPECT_EQ(QueryBody(c.address), c.body) << c.address.toStdString();
    }
    EXPECT_EQ(QueryBody(u"8.8.8.8"_s).size(), 19);
}

TEST_F(PageRequestsTest, TheQueryPageComesBackAsBytesAndDecodesToThreeLines) {
    server.setAnswer(200, kQueryPage);
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
    const QByteArray bytes = TransferQuery(*request, QueryBody(u"8.8.8.8"_s));
    EXPECT_EQ(bytes, kQueryPage);
    EXPECT_EQ(request->responseBody(), kQueryPage);  // the kept object still holds the answer

    ScrapeState state;
    EXPECT_EQ(ScrapeQueryPage(DecodeResponseBytes(bytes, [] {}), state),
              u"查询结果：8.8.8.8\r\n"_s
              u"本站数据：美国\r\n"_s
              u"参考数据：Google"_s);
}

TEST_F(PageRequestsTest, TheOwnAddressPageComesBackAsText) {
    server.setAnswer(200, kOwnAddressPage);
    const QString page = PostForPage(trackedRequests(), ownAddressUrl());
    EXPECT_EQ(alive, 0);  // released before returning
    ScrapeState state;
    EXPECT_EQ(ScrapeOwnAddress(page, state), u"1.2.3.4"_s);
    EXPECT_EQ(ScrapeOwnLocation(page, state), u"北京"_s);
}

TEST_F(PageRequestsTest, ErrorPagesAreAnswersToo) {
    for (const int status : {404, 500}) {
        server.setAnswer(status, "<h1>\xb4\xed\xce\xf3</h1>");
        const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
        EXPECT_EQ(TransferQuery(*request, QueryBody(u"8.8.8.8"_s)),
                  QByteArray("<h1>\xb4\xed\xce\xf3</h1>"))
            << status;
        EXPECT_EQ(PostForPage(CreateHttpRequest, ownAddressUrl()), u"<h1>错误</h1>"_s) << status;
    }
}

TEST_F(PageRequestsTest, AnEmptyBodyIsAnEmptyPage) {
    server.setAnswer(200, QByteArray());
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
    const QByteArray bytes = TransferQuery(*request, QueryBody(u"8.8.8.8"_s));
    EXPECT_TRUE(bytes.isEmpty());
    const QString page = PostForPage(CreateHttpRequest, ownAddressUrl());
    EXPECT_TRUE(page.isEmpty());
}

TEST_F(PageRequestsTest, APageWithoutMarkersFailsTheScrapes) {
    server.setAnswer(200, "<html><body>\xc3\xbb\xd3\xd0</body></html>");
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
    const QString queryPage =
        DecodeResponseBytes(TransferQuery(*request, QueryBody(u"8.8.8.8"_s)), [] {});
    ScrapeState state;
    EXPECT_THROW(ScrapeQueryPage(queryPage, state), LookupFailure);
    const QString ownPage = PostForPage(CreateHttpRequest, ownAddressUrl());
    EXPECT_THROW(ScrapeOwnAddress(ownPage, state), LookupFailure);
}

TEST_F(PageRequestsTest, ABodyEndingInALeadByteFailsOnlyTheQueryDecoder) {
    server.setAnswer(200, "<li>A\xc4");
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
    const QByteArray bytes = TransferQuery(*request, QueryBody(u"8.8.8.8"_s));
    EXPECT_EQ(bytes, QByteArray("<li>A\xc4"));
    EXPECT_THROW(DecodeResponseBytes(bytes, [] {}), LookupFailure);
    EXPECT_EQ(PostForPage(CreateHttpRequest, ownAddressUrl()), u"<li>A\ufffd"_s);
}

TEST_F(PageRequestsTest, ARefusedConnectionFailsBothRequests) {
    QByteArray closedHost;
    {
        LoopbackHttpServer gone;
        closedHost = gone.hostAndPort().toLatin1();
    }
    const ScopedEnvironment refused("LOKARO_SERVICE_HOST", closedHost);
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(trackedRequests());
    EXPECT_THROW(TransferQuery(*request, QueryBody(u"8.8.8.8"_s)), LookupFailure);
    EXPECT_THROW(PostForPage(trackedRequests(), ownAddressUrl()), LookupFailure);
    EXPECT_EQ(alive, 1);  // only the query's object, which its caller keeps
}

TEST_F(PageRequestsTest, AServerThatNeverAnswersFailsBothRequests) {
    server.setStalled(true);
    const TransferLimits quick{1s, 300ms};
    const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(trackedRequests(quick));
    EXPECT_THROW(TransferQuery(*request, QueryBody(u"8.8.8.8"_s)), LookupFailure);
    EXPECT_THROW(PostForPage(trackedRequests(quick), ownAddressUrl()), LookupFailure);
    EXPECT_EQ(server.requestCount(), 2);
    EXPECT_EQ(alive, 1);  // the own-address request's object is gone after its failure
}

TEST_F(PageRequestsTest, TwoQueriesInARowUseTwoObjects) {
    std::unique_ptr<HttpRequest> objHttp;
    const QByteArray answers[] = {"first", "second"};
    const QString addresses[] = {u"1.1.1.1"_s, u"2.2.2.2"_s};
    HttpRequest* previous = nullptr;
    for (int i = 0; i < 2; ++i) {
        server.setAnswer(200, answers[i]);
        // The new object exists before the old one is let go.
        std::unique_ptr<HttpRequest> fresh = PrepareQueryRequest(trackedRequests());
        EXPECT_EQ(alive, i + 1);
        EXPECT_NE(fresh.get(), previous);
        objHttp = std::move(fresh);
        EXPECT_EQ(alive, 1);
        previous = objHttp.get();
        EXPECT_EQ(TransferQuery(*objHttp, QueryBody(addresses[i])), answers[i]);
    }
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(RecordedRequest::parse(server.requests()[0]).body, "ip=1.1.1.1&action=2");
    EXPECT_EQ(RecordedRequest::parse(server.requests()[1]).body, "ip=2.2.2.2&action=2");
}

TEST_F(PageRequestsTest, TheQueryBytesOutliveTheirRequestObject) {
    server.setAnswer(200, kQueryPage);
    QByteArray bytes;
    {
        const std::unique_ptr<HttpRequest> request = PrepareQueryRequest(CreateHttpRequest);
        bytes = TransferQuery(*request, QueryBody(u"8.8.8.8"_s));
    }
    EXPECT_EQ(bytes, kQueryPage);
}

struct HostCase {
    const char* name;
    std::optional<QByteArray> environment;  // nullopt: not set
    QString host;
    QString queryUrl;
};

TEST(ServiceHost, TheEnvironmentOverridesTheCompiledHost) {
    const QString compiled = QStringLiteral(EXPECTED_COMPILED_SERVICE_HOST);
    const HostCase cases[] = {
        {"host and port", "127.0.0.1:8080", u"127.0.0.1:8080"_s,
         u"http://127.0.0.1:8080/ips8.asp"_s},
        {"host alone, so port 80", "127.0.0.1", u"127.0.0.1"_s, u"http://127.0.0.1/ips8.asp"_s},
        {"name with port", "lookup.example:81", u"lookup.example:81"_s,
         u"http://lookup.example:81/ips8.asp"_s},
        {"surrounding spaces", " 10.0.0.1:81 ", u"10.0.0.1:81"_s, u"http://10.0.0.1:81/ips8.asp"_s},
        {"empty", "", compiled, u"http://"_s + compiled + u"/ips8.asp"_s},
        {"not set", std::nullopt, compiled, u"http://"_s + compiled + u"/ips8.asp"_s},
    };
    for (const HostCase& c : cases) {
        const ScopedEnvironment environment("LOKARO_SERVICE_HOST", c.environment.value_or(""),
                                            c.environment.has_value());
        EXPECT_EQ(ServiceHost(), c.host) << c.name;
        EXPECT_EQ(ServiceUrl(QString::fromUtf16(kQueryPath)), c.queryUrl) << c.name;
    }
}

TEST(ServiceHost, IsReadWhenTheRequestIsPrepared) {
    LoopbackHttpServer first;
    LoopbackHttpServer second;
    std::unique_ptr<HttpRequest> request;
    {
        const ScopedEnvironment host("LOKARO_SERVICE_HOST", first.hostAndPort().toLatin1());
        request = PrepareQueryRequest(CreateHttpRequest);
    }
    const ScopedEnvironment host("LOKARO_SERVICE_HOST", second.hostAndPort().toLatin1());
    TransferQuery(*request, QueryBody(u"8.8.8.8"_s));
    PostForPage(CreateHttpRequest, ServiceUrl(QString::fromUtf16(kOwnAddressPath)));
    EXPECT_EQ(first.requestCount(), 1);
    EXPECT_EQ(second.requestCount(), 1);
    EXPECT_EQ(RecordedRequest::parse(second.requests().first()).requestLine,
              "POST /ips.asp HTTP/1.1");
}

}  // namespace
}  // namespace client
