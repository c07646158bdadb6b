#include "Pages.h"

#include "HtmlEscape.h"

namespace service {
namespace {

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
    "<title>IP\u5730\u5740\u67e5\u8be2</title></head>\n<body>\n";

// Credit for the CC BY data the answers come from (the city names are GeoNames'); DB-IP
// asks for this link on every page that shows its results.
constexpr std::string_view kTail =
    "<p>\u6570\u636e\u6765\u6e90\uff1a<a href=\"https://db-ip.com\">IP Geolocation by DB-IP</a>"
    ", RouteViews, NRO, <a href=\"https://github.com/sapics/ip-location-db\">ip-location-db</a>"
    ", <a href=\"https://www.geonames.org\">GeoNames</a> (CC BY 4.0)</p>\n</body></html>\n";

constexpr std::string_view kOwnAddressBefore = "<p>\u60a8\u7684IP\u5730\u5740\u662f\uff1a[";
constexpr std::string_view kOwnAddressAfter = "] ";
constexpr std::string_view kLocationBefore = "\u6765\u81ea\uff1a";
constexpr std::string_view kLocationAfter = "<br/></p>\n";

constexpr std::string_view kLocationLabel = "\u5730\u7406\u4f4d\u7f6e\uff1a";
constexpr std::string_view kNetworkLabel = "\u7f51\u7edc\uff1a";
constexpr std::string_view kRegisteredLabel = "\u6ce8\u518c\u5730\uff1a";

// A form so that the pages also serve a browser; it posts what the program posts.
std::string QueryForm(std::string_view address) {
    return "<form method=\"post\" action=\"/ips8.asp\"><input name=\"ip\" value=\"" +
           EscapeHtml(address) +
           "\"><input type=\"hidden\" name=\"action\" value=\"2\"> "
           "<input type=\"submit\" value=\"\u67e5\u8be2\"></form>\n";
}

}  // namespace

std::string OwnAddressPage(std::string_view address, const LookupAnswer& answer) {
    std::string page(kHead);
    page += kOwnAddressBefore;
    page += EscapeHtml(address);
    page += kOwnAddressAfter;
    page += kLocationBefore;
    page += DisplayedValue(answer.location.text);
    page += kLocationAfter;
    page += QueryForm("");
    page += kTail;
    return page;
}

std::string QueryPage(std::string_view queriedAddress, const LookupAnswer& answer) {
    std::string page(kHead);
    page += QueryForm(queriedAddress);
    page += "<ul><li>";
    page += kLocationLabel;
    page += DisplayedValue(answer.location.text);
    page += "</li><li>";
    page += kNetworkLabel;
    page += DisplayedValue(answer.network.text);
    page += "</li><li>";
    page += kRegisteredLabel;
    page += DisplayedValue(answer.registeredCountry.text);
    page += "</li></ul>\n";
    page += kTail;
    return page;
}

}  // namespace service
