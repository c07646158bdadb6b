#pragma once

#include <string>
#include <string_view>

namespace service {

// A value as the program shows it. The program shows page text as it finds it, without
// decoding character references, so a value never holds one: "<", ">" and "&" become the
// full-width "＜", "＞" and "＆" (all three in GBK), which also makes the value safe in
// element content. Quotes stay as they are. Applying it twice changes nothing more.
std::string DisplayedValue(std::string_view text);

}  // namespace service
