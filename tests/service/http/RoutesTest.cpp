#include "service/http/Routes.h"
#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

namespace service {
namespace {

// The routes answer a request given as plain values, without any socket.
class RoutesTest : public testing::Test {
protected:
    ReloadableData m_data{std::make_shared<const GeoData>(SERVICE_FIXTURES)};
    Routes m_routes{m_data, /*trustProxy=*/true};

    OutgoingResponse Answer(std::string_view method, std::string_view path, std::string_view query,
                            std::vector<HeaderField> headers, std::string_view body) const {
        return m_routes.Answer(
            IncomingRequest{method, path, query, std::move(headers), body, "127.0.0.1"});
    }
};

TEST_F(RoutesTest, TheMethodDecidesWhetherTheBodyOrTheQueryHoldsTheForm) {
    const auto google = [](const OutgoingResponse& answer) {
        return answer.body.find("AS15169 Google LLC") != std::string::npos;
    };
    EXPECT_TRUE(google(Answer("post", "/ips8.asp", "ip=1.1.1.1", {}, "ip=8.8.8.8")));
    EXPECT_TRUE(google(Answer("GET", "/ips8.asp", "ip=8.8.8.8", {}, "ip=1.1.1.1")));
    EXPECT_FALSE(google(Answer("GET", "/ips8.asp", "ip=1.1.1.1", {}, "ip=8.8.8.8")));
}

TEST_F(RoutesTest, OfSeveralForwardedForLinesTheLastCounts) {
    const OutgoingResponse answer =
        Answer("POST", "/ips.asp", "",
               {{"X-Forwarded-For", "9.9.9.9"}, {"x-forwarded-for", "10.0.0.1, 8.8.8.8"}}, "");
    EXPECT_NE(answer.body.find("[8.8.8.8] "), std::string::npos) << answer.body;
}

TEST_F(RoutesTest, EveryPathTakesAFormOfFourKibibytes) {
    for (const char* path : {"/ips.asp", "/ips8.asp", "/healthz", "/elsewhere"}) {
        EXPECT_EQ(m_routes.BodyLimit(path), 4096u) << path;
    }
}

}  // namespace
}  // namespace service
