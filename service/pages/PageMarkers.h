#pragma once

#include <string_view>

// The texts the program cuts its results out of the service's pages at, as UTF-8. The
// service's page writer puts them there and the program's scraper looks for them, so both
// take them from here.
namespace service::markers {

// Own-address page: the address stands between these two, the location after it between
// the next two.
inline constexpr std::string_view kAddressStart = "：[";
inline constexpr std::string_view kAddressEnd = "] ";
inline constexpr std::string_view kLocationStart = "来自：";
inline constexpr std::string_view kLocationEnd = "<br/>";

// Query page: each of the three items.
inline constexpr std::string_view kItemStart = "<li>";
inline constexpr std::string_view kItemEnd = "</li>";

}  // namespace service::markers
