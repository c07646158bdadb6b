#pragma once

#include <string_view>

namespace service {

// Credit for the CC BY data the answers come from (the city names are GeoNames'), as HTML
// for a paragraph. DB-IP asks for its link on every page that shows its results.
inline constexpr std::string_view kDataCreditHtml =
    "数据来源：<a href=\"https://db-ip.com\">IP Geolocation by DB-IP</a>"
    ", RouteViews, NRO, <a href=\"https://github.com/sapics/ip-location-db\">ip-location-db</a>"
    ", <a href=\"https://www.geonames.org\">GeoNames</a> (CC BY 4.0)";

}  // namespace service
