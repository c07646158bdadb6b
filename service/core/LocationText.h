#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace service {

// The location line from its parts, largest first (country, region, city): the parts that
// have a name, separated by single spaces, each place once. A part that names the same
// place as an earlier one is left out: the same name, or the same but for the "市" (city)
// that one of them ends with ("中国 北京市" for Beijing's city in Beijing, "新加坡" for
// Singapore's city in Singapore).
std::string LocationText(std::initializer_list<std::string_view> parts);

}  // namespace service
