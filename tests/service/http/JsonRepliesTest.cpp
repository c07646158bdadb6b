#include "service/http/JsonReplies.h"
#include "service/json/AnswerJson.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace service {
namespace {

struct ObjectRow {
    const char* name;
    const char* address;
    int status;
    const char* json;
};

class JsonObjectTest : public testing::TestWithParam<ObjectRow> {};

TEST_P(JsonObjectTest, AnswersOneAddressAsOneObject) {
    const JsonReply reply = AnswerJsonAddress(test::FixtureData(), GetParam().address);
    EXPECT_EQ(reply.status, GetParam().status);
    EXPECT_EQ(reply.body, std::string(GetParam().json) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JsonObjectTest,
    testing::Values(
        ObjectRow{"public", "202.96.134.5", 200,
                  R"({"ip":"202.96.134.5","special":null,)"
                  R"("location":{"country_code":"CN","country":"中国","region":"广东省",)"
                  R"("city":"广州市","text":"中国 广东省 广州市"},)"
                  R"("network":{"asn":4134,"organisation":"Chinanet","operator":"中国电信",)"
                  R"("text":"AS4134 中国电信"},)"
                  R"("registered_country":{"country_code":"CN","country":"中国","text":"中国"}})"},
        ObjectRow{"partlyKnownWithMarkupInTheData", "9.9.9.9", 200,
                  R"({"ip":"9.9.9.9","special":null,)"
                  R"("location":{"country_code":"CH","country":"瑞士","region":null,"city":null,)"
                  R"("text":"瑞士"},)"
                  R"("network":{"asn":19281,"organisation":"Quad9 <b>\"Fast\"</b> & Co",)"
                  R"("operator":null,"text":"AS19281 Quad9 ＜b＞\"Fast\"＜/b＞ ＆ Co"},)"
                  R"("registered_country":{"country_code":"CH","country":"瑞士","text":"瑞士"}})"},
        ObjectRow{"leadingZerosGiveTheCanonicalAddress", "010.001.002.003", 200,
                  R"({"ip":"10.1.2.3","special":"局域网",)"
                  R"("location":{"country_code":null,"country":null,"region":null,"city":null,)"
                  R"("text":"局域网"},)"
                  R"("network":{"asn":null,"organisation":null,"operator":null,"text":"局域网"},)"
                  R"("registered_country":{"country_code":null,"country":null,"text":"局域网"}})"},
        ObjectRow{"unknown", "2.2.2.2", 200,
                  R"({"ip":"2.2.2.2","special":null,)"
                  R"("location":{"country_code":null,"country":null,"region":null,"city":null,)"
                  R"("text":"未知"},)"
                  R"("network":{"asn":null,"organisation":null,"operator":null,"text":"未知"},)"
                  R"("registered_country":{"country_code":null,"country":null,"text":"未知"}})"},
        ObjectRow{"invalid", "1.2.3.256", 400, R"({"ip":"1.2.3.256","error":"IP地址无效"})"},
        ObjectRow{"quotesInTheTextStayJson", "\"a\"\\", 400,
                  R"({"ip":"\"a\"\\","error":"IP地址无效"})"},
        ObjectRow{"empty", "", 400, R"({"ip":"","error":"缺少IP地址"})"}),
    [](const auto& info) { return info.param.name; });

TEST(JsonBatchTest, AnswersEveryEntryInOrderWithErrorsInPlace) {
    const JsonReply reply = AnswerJsonBatch(
        test::FixtureData(), R"([ "127.0.0.1", "8.8.8.8x", "", "8.8.8.8", "127.0.0.1" ])");
    ASSERT_EQ(reply.status, 200) << reply.body;
    const Json answers = Json::parse(reply.body);
    ASSERT_EQ(answers.size(), 5u);
    EXPECT_EQ(answers[0]["ip"], "127.0.0.1");
    EXPECT_EQ(answers[0]["special"], "本机地址");
    EXPECT_EQ(answers[1], Json::parse(R"({"ip":"8.8.8.8x","error":"IP地址无效"})"));
    EXPECT_EQ(answers[2], Json::parse(R"({"ip":"","error":"缺少IP地址"})"));
    EXPECT_EQ(answers[3], Json::parse(AnswerJsonAddress(test::FixtureData(), "8.8.8.8").body));
    EXPECT_EQ(answers[4], answers[0]);
}

TEST(JsonBatchTest, TakesAThousandAddressesAndAnEmptyArray) {
    std::string body = "[";
    for (int i = 0; i < 1000; ++i) body += i == 0 ? "\"8.8.8.8\"" : ",\"8.8.8.8\"";
    body += "]";
    const JsonReply full = AnswerJsonBatch(test::FixtureData(), body);
    EXPECT_EQ(full.status, 200);
    EXPECT_EQ(Json::parse(full.body).size(), 1000u);

    const JsonReply empty = AnswerJsonBatch(test::FixtureData(), " [ ] ");
    EXPECT_EQ(empty.status, 200);
    EXPECT_EQ(empty.body, "[]\n");
}

struct BatchRefusalRow {
    const char* name;
    std::string body;
    const char* error;
};

class JsonBatchRefusalTest : public testing::TestWithParam<BatchRefusalRow> {};

TEST_P(JsonBatchRefusalTest, RefusesTheWholeBatchWithAnErrorObject) {
    const JsonReply reply = AnswerJsonBatch(test::FixtureData(), GetParam().body);
    EXPECT_EQ(reply.status, 400);
    EXPECT_EQ(reply.body, std::string(R"({"error":")") + GetParam().error + "\"}\n");
}

std::string ArrayOf(int count) {
    std::string body = "[\"1.1.1.1\"";
    for (int i = 1; i < count; ++i) body += ",\"1.1.1.1\"";
    return body + "]";
}

constexpr const char* kNoJson = "请求不是有效的JSON";
constexpr const char* kNoArray = "请求须为IP地址字符串的数组";

INSTANTIATE_TEST_SUITE_P(
    Rows, JsonBatchRefusalTest,
    testing::Values(BatchRefusalRow{"emptyBody", "", kNoJson},
                    BatchRefusalRow{"unclosedArray", R"(["8.8.8.8")", kNoJson},
                    BatchRefusalRow{"trailingText", R"(["8.8.8.8"] x)", kNoJson},
                    BatchRefusalRow{"formBody", "ip=8.8.8.8", kNoJson},
                    BatchRefusalRow{"invalidUtf8", "[\"\xff\"]", kNoJson},
                    BatchRefusalRow{"object", R"({"ip":"8.8.8.8"})", kNoArray},
                    BatchRefusalRow{"string", R"("8.8.8.8")", kNoArray},
                    BatchRefusalRow{"numberEntry", R"(["8.8.8.8", 134744072])", kNoArray},
                    BatchRefusalRow{"nullEntry", R"([null])", kNoArray},
                    BatchRefusalRow{"nestedArray", R"([["8.8.8.8"]])", kNoArray},
                    BatchRefusalRow{"tooMany", ArrayOf(1001), "每次最多查询1000个地址"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace service
