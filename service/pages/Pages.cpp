#include "service/pages/Pages.h"

#include "service/core/DisplayedValue.h"
#include "service/pages/DataCredit.h"
#include "service/pages/HtmlEscape.h"
#include "service/pages/PageMarkers.h"

#include <utility>

namespace service {
namespace {

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n"
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
    "<title>IP地址查询</title></head>\n<body>\n";

constexpr std::string_view kLocationLabel = "地理位置：";
constexpr std::string_view kNetworkLabel = "网络：";
constexpr std::string_view kRegisteredLabel = "注册地：";

// A form so that the pages also serve a browser; it posts what the program posts.
std::string QueryForm(std::string_view address) {
    return "<form method=\"post\" action=\"/ips8.asp\"><input name=\"ip\" value=\"" +
           EscapeHtml(address) +
           "\"><input type=\"hidden\" name=\"action\" value=\"2\"> "
           "<input type=\"submit\" value=\"查询\"></form>\n";
}

void AppendTail(std::string& page) {
    page += "<p>";
    page += kDataCreditHtml;
    page += "</p>\n</body></html>\n";
}

}  // namespace

std::string OwnAddressPage(std::string_view address, AnswerView answer) {
    std::string page(kHead);
    page += "<p>您的IP地址是";
    page += markers::kAddressStart;
    page += EscapeHtml(address);
    page += markers::kAddressEnd;
    page += markers::kLocationStart;
    page += DisplayedValue(answer.location.text);
    page += markers::kLocationEnd;
    page += "</p>\n";
    page += QueryForm("");
    AppendTail(page);
    return page;
}

std::string QueryPage(std::string_view queriedAddress, AnswerView answer) {
    std::string page(kHead);
    page += QueryForm(queriedAddress);
    page += "<ul>";
    for (const auto& [label, text] :
         {std::pair{kLocationLabel, &answer.location.text},
          std::pair{kNetworkLabel, &answer.network.text},
          std::pair{kRegisteredLabel, &answer.registeredCountry.text}}) {
        page += markers::kItemStart;
        page += label;
        page += DisplayedValue(*text);
        page += markers::kItemEnd;
    }
    page += "</ul>\n";
    AppendTail(page);
    return page;
}

}  // namespace service
