#include "service/http/JsonReplies.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace service {
namespace {

using test::ExchangeOne;
using test::HttpReply;
using test::RunningService;

std::string Get(const std::string& target, const std::string& headers = "") {
    return std::string("GET ") + target + " HTTP/1.1\r\nHost: x\r\n" + headers +
           "Connection: close\r\n\r\n";
}

std::string Post(const std::string& body) {
    return std::string(
               "POST /json HTTP/1.1\r\nHost: x\r\nContent-Type: "
               "application/json\r\nContent-Length: ") +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// 1,000 addresses, one a line and indented: over the pages' 4 KiB, within the batch limit.
std::string FullBatch() {
    std::string body = "[\n";
    for (int i = 0; i < 1000; ++i)
        body += (i == 0 ? "    \"" : ",\n    \"") + std::string("255.255.255.255\"");
    return body + "\n]\n";
}

struct JsonHttpRow {
    const char* name;
    std::string request;
    int status;
    std::string body;  // the whole body, or only its start when it ends in "..."
};

class JsonHttpTest : public testing::TestWithParam<JsonHttpRow> {
protected:
    static void SetUpTestSuite() { s_service = new RunningService(/*trustProxy=*/true); }
    static void TearDownTestSuite() {
        delete s_service;
        s_service = nullptr;
    }
    static RunningService* s_service;
};

RunningService* JsonHttpTest::s_service = nullptr;

TEST_P(JsonHttpTest, AnswersInJson) {
    const HttpReply reply = ExchangeOne(s_service->port(), GetParam().request);
    EXPECT_EQ(reply.status, GetParam().status);
    EXPECT_EQ(reply.Header("Content-Type"), "application/json; charset=utf-8");
    const std::string& body = GetParam().body;
    if (body.ends_with("...")) {
        EXPECT_EQ(reply.body.substr(0, body.size() - 3), body.substr(0, body.size() - 3));
    } else {
        EXPECT_EQ(reply.body, body);
    }
}

const GeoData& Data() {
    return test::FixtureData();
}

std::string WithoutLineEnd(std::string body) {
    body.pop_back();
    return body;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JsonHttpTest,
    testing::Values(
        JsonHttpRow{"getAddress", Get("/json?ip=8.8.8.8"), 200,
                    AnswerJsonAddress(Data(), "8.8.8.8").body},
        JsonHttpRow{"getEscapedAddress", Get("/json?action=2&ip=%38.8.8.8"), 200,
                    AnswerJsonAddress(Data(), "8.8.8.8").body},
        JsonHttpRow{"getBadAddress", Get("/json?ip=8.8.8.8%3Cb%3E"), 400,
                    "{\"ip\":\"8.8.8.8<b>\",\"error\":\"IP地址无效\"}\n"},
        JsonHttpRow{"getEmptyAddress", Get("/json?ip="), 400,
                    "{\"ip\":\"\",\"error\":\"缺少IP地址\"}\n"},
        JsonHttpRow{"getCaller", Get("/json", "X-Forwarded-For: 8.8.8.8\r\n"), 200,
                    AnswerJsonAddress(Data(), "8.8.8.8").body},
        JsonHttpRow{"getIpv6Caller", Get("/json", "X-Forwarded-For: 240E:0::1\r\n"), 200,
                    R"({"ip":"240e::1","special":null,)"
                    R"("location":{"country_code":"CN","country":"中国","region":"广东省",)"
                    R"("city":"广州市","text":"中国 广东省 广州市"},)"
                    R"("network":{"asn":4134,"organisation":"Chinanet","operator":"中国电信",)"
                    R"("text":"AS4134 中国电信"},)"
                    R"("registered_country":{"country_code":"CN","country":"中国","text":"中国"}})"
                    "\n"},
        JsonHttpRow{"postBatch", Post(R"(["127.0.0.1","x"])"), 200,
                    std::string("[") + WithoutLineEnd(AnswerJsonAddress(Data(), "127.0.0.1").body) +
                        ",{\"ip\":\"x\",\"error\":\"IP地址无效\"}]\n"},
        JsonHttpRow{"postFullBatch", Post(FullBatch()), 200,
                    "[{\"ip\":\"255.255.255.255\",\"special\":\"广播地址\",..."},
        JsonHttpRow{"postInvalidJson", Post("[\"8.8.8.8\""), 400,
                    "{\"error\":\"请求不是有效的JSON\"}\n"},
        JsonHttpRow{"postFormBody", Post("ip=8.8.8.8&action=2"), 400,
                    "{\"error\":\"请求不是有效的JSON\"}\n"},
        JsonHttpRow{"postWrongType", Post(R"({"ip":"8.8.8.8"})"), 400,
                    "{\"error\":\"请求须为IP地址字符串的数组\"}\n"}),
    [](const auto& info) { return info.param.name; });

TEST(JsonHttpLimitTest, BatchBodyLimitHoldsForTheJsonPathOnly) {
    RunningService service;
    const std::string tooLarge(kMaxBatchBody + 1, ' ');
    EXPECT_EQ(ExchangeOne(service.port(), Post(tooLarge)).status, 413);
    std::string justFits(kMaxBatchBody, ' ');
    justFits.replace(0, 2, "[]");
    EXPECT_EQ(ExchangeOne(service.port(), Post(justFits)).status, 200);

    const std::string formBody = "ip=8.8.8.8&pad=" + std::string(8000, 'x');
    const HttpReply page = ExchangeOne(
        service.port(),
        "POST /ips8.asp HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(formBody.size()) +
            "\r\nConnection: close\r\n\r\n" + formBody);
    EXPECT_EQ(page.status, 413);

    const HttpReply put = ExchangeOne(
        service.port(),
        "PUT /json HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nConnection: close\r\n\r\n[]");
    EXPECT_EQ(put.status, 405);
    EXPECT_EQ(put.Header("Allow"), "GET, HEAD, POST");
}

}  // namespace
}  // namespace service
