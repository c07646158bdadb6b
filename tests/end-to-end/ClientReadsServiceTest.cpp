// The program's own client code reads the service's pages: its transport, its code page 936
// decoding and its cutting at markers, against the real server on a loopback port.
#include "client/PageDecoding.h"
#include "client/PageRequests.h"
#include "client/PageScraping.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace service {
namespace {

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray PostQuery(int port, const std::string& address) {
    const test::HttpReply reply =
        test::ExchangeOne(port, test::QueryRequest("post", "ip=" + address + "&action=2"));
    return QByteArray::fromStdString(reply.body);
}

struct ScrapeRow {
    const char* name;
    const char* address;
    const char* lines;  // the three result lines the program shows, joined by CR LF
};

class ClientScrapesQueryPageTest : public testing::TestWithParam<ScrapeRow> {
protected:
    test::RunningService m_service;
};

TEST_P(ClientScrapesQueryPageTest, ShowsTheThreeItems) {
    client::ScrapeState state;
    const QString page =
        client::DecodeResponseBytes(PostQuery(m_service.port(), GetParam().address));
    EXPECT_EQ(client::ScrapeQueryPage(page, state), Utf8(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(Rows, ClientScrapesQueryPageTest,
                         testing::Values(ScrapeRow{"public", "8.8.8.8",
                                                   "地理位置：美国 加利福尼亚州 山景城\r\n"
                                                   "网络：AS15169 Google LLC\r\n"
                                                   "注册地：美国"},
                                         ScrapeRow{"private", "10.1.2.3",
                                                   "地理位置：局域网\r\n"
                                                   "网络：局域网\r\n"
                                                   "注册地：局域网"},
                                         ScrapeRow{"unknown", "2.2.2.2",
                                                   "地理位置：未知\r\n"
                                                   "网络：未知\r\n"
                                                   "注册地：未知"},
                                         // The program shows what the page holds: markup in
                                         // full-width forms, '?' for what GBK lacks.
                                         ScrapeRow{
                                             "markup", "9.9.9.9",
                                             "地理位置：瑞士\r\n"
                                             "网络：AS19281 Quad9 ＜b＞\"Fast\"＜/b＞ ＆ Co\r\n"
                                             "注册地：瑞士"},
                                         ScrapeRow{"ampersand", "81.187.1.1",
                                                   "地理位置：英国 英格兰 伦敦\r\n"
                                                   "网络：AS20712 Andrews ＆ Arnold Ltd\r\n"
                                                   "注册地：英国"},
                                         ScrapeRow{"notInGbk", "113.160.200.1",
                                                   "地理位置：越南 岘港市\r\n"
                                                   "网络：AS45899 VNPT ?\u00e0 N?ng\r\n"
                                                   "注册地：越南"}),
                         [](const auto& info) { return info.param.name; });

TEST(ClientScrapesOwnAddressPageTest, AddressThenLocation) {
    test::RunningService service;
    const test::HttpReply reply = test::ExchangeOne(
        service.port(), "POST /ips.asp HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    const QString page = client::ConvertWholePage(QByteArray::fromStdString(reply.body));
    client::ScrapeState state;
    EXPECT_EQ(client::ScrapeOwnAddress(page, state), Utf8("127.0.0.1"));
    EXPECT_EQ(client::ScrapeOwnLocation(page, state), Utf8("本机地址"));
}

TEST(ClientScrapesOwnAddressPageTest, ForwardedCallerThroughAProxy) {
    test::RunningService service(/*trustProxy=*/true);
    const test::HttpReply reply =
        test::ExchangeOne(service.port(),
                          "POST /ips.asp HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: "
                          "114.114.114.114\r\nConnection: close\r\n\r\n");
    const QString page = client::ConvertWholePage(QByteArray::fromStdString(reply.body));
    client::ScrapeState state;
    EXPECT_EQ(client::ScrapeOwnAddress(page, state), Utf8("114.114.114.114"));
    EXPECT_EQ(client::ScrapeOwnLocation(page, state), Utf8("中国 江苏省 南京市"));
}

// The program's own requests, sent by its HTTP client, to the service.
class ClientTransportTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string host = "127.0.0.1:" + std::to_string(m_service.port());
        ::setenv("LOKARO_SERVICE_HOST", host.c_str(), 1);
    }
    void TearDown() override { ::unsetenv("LOKARO_SERVICE_HOST"); }

    test::RunningService m_service;
};

TEST_F(ClientTransportTest, QueryRoundTrip) {
    auto request = client::PrepareQueryRequest(client::CreateHttpRequest);
    const QByteArray body =
        client::TransferQuery(*request, client::QueryBody(QStringLiteral("114.114.114.114")));
    client::ScrapeState state;
    EXPECT_EQ(client::ScrapeQueryPage(client::DecodeResponseBytes(body), state),
              Utf8("地理位置：中国 江苏省 南京市\r\n"
                   "网络：AS21859 Zenlayer Inc\r\n"
                   "注册地：中国"));
}

TEST_F(ClientTransportTest, OwnAddressRoundTrip) {
    const QString page =
        client::PostForPage(client::CreateHttpRequest,
                            QStringLiteral("http://127.0.0.1:%1/ips.asp").arg(m_service.port()));
    client::ScrapeState state;
    EXPECT_EQ(client::ScrapeOwnAddress(page, state), Utf8("127.0.0.1"));
    EXPECT_EQ(client::ScrapeOwnLocation(page, state), Utf8("本机地址"));
}

}  // namespace
}  // namespace service
