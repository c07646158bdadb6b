#include "service/pages/Pages.h"

#include <gtest/gtest.h>

namespace service {
namespace {

constexpr const char* kLocationLabel = "地理位置：";
constexpr const char* kNetworkLabel = "网络：";
constexpr const char* kRegisteredLabel = "注册地：";
constexpr const char* kAddressMarker = "：[";
constexpr const char* kLocationMarker = "来自：";

LookupAnswer Answer(const char* location, const char* network, const char* registered) {
    LookupAnswer answer;
    answer.location.text = location;
    answer.network.text = network;
    answer.registeredCountry.text = registered;
    return answer;
}

const LookupAnswer kAnswer = Answer("美国 加利福尼亚州 山景城", "AS15169 Google LLC", "美国");

std::string Items(const std::string& location, const std::string& network,
                  const std::string& registered) {
    return std::string("<li>") + kLocationLabel + location + "</li><li>" + kNetworkLabel + network +
           "</li><li>" + kRegisteredLabel + registered + "</li>";
}

TEST(QueryPageTest, FirstListItemsAreTheThreeAnswersBackToBack) {
    const std::string page = QueryPage("8.8.8.8", kAnswer);
    const std::string items =
        Items(kAnswer.location.text, kAnswer.network.text, kAnswer.registeredCountry.text);
    EXPECT_EQ(page.find("<li>"), page.find(items)) << page;
    EXPECT_NE(page.find(items), std::string::npos) << page;
    // Nothing before the items may look like the end of one.
    EXPECT_GT(page.find("</li>"), page.find("<li>"));
}

TEST(QueryPageTest, ShowsTheQueriedAddressInTheForm) {
    EXPECT_NE(QueryPage("8.8.8.8", kAnswer).find("name=\"ip\" value=\"8.8.8.8\""),
              std::string::npos);
}

// The program shows values as it finds them, so no value may hold a character reference.
TEST(QueryPageTest, ValuesHoldNoMarkupAndNoReferences) {
    const LookupAnswer hostile = Answer("<script>alert(1)</script>", "AS1 A&B \"x\"", "</li><li>'");
    const std::string page = QueryPage("\"><img src=x>", hostile);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_NE(page.find(Items("＜script＞alert(1)＜/script＞", "AS1 A＆B \"x\"", "＜/li＞＜li＞'")),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("value=\"&quot;&gt;&lt;img src=x&gt;\""), std::string::npos);
}

TEST(QueryPageTest, CreditsTheDataSources) {
    const std::string page = QueryPage("", kAnswer);
    EXPECT_NE(page.find("<a href=\"https://db-ip.com\">IP Geolocation by DB-IP</a>"),
              std::string::npos);
    EXPECT_NE(page.find("ip-location-db"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"https://www.geonames.org\">GeoNames</a>"), std::string::npos);
    EXPECT_NE(page.find("CC BY 4.0"), std::string::npos);
}

TEST(OwnAddressPageTest, AddressAndLocationStandBetweenTheMarkers) {
    const std::string page = OwnAddressPage("203.0.113.5", kAnswer);
    const std::string expected = std::string(kAddressMarker) + "203.0.113.5] " + kLocationMarker +
                                 kAnswer.location.text + "<br/>";
    EXPECT_EQ(page.find(kAddressMarker), page.find(expected)) << page;
    EXPECT_NE(page.find(expected), std::string::npos) << page;
}

TEST(OwnAddressPageTest, LocationHoldsNoMarkup) {
    const std::string page = OwnAddressPage("1.2.3.4", Answer("<b>&", "", ""));
    EXPECT_NE(page.find(std::string(kLocationMarker) + "＜b＞＆<br/>"), std::string::npos);
}

TEST(PagesTest, DeclareTheirEncoding) {
    for (const std::string& page : {QueryPage("", kAnswer), OwnAddressPage("1.2.3.4", kAnswer)}) {
        EXPECT_NE(page.find("charset=gbk"), std::string::npos);
    }
}

}  // namespace
}  // namespace service
