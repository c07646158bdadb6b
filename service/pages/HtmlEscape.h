#pragma once

#include <string>
#include <string_view>

namespace service {

// Text made safe to stand in HTML element content and in quoted attribute values:
// & < > " ' become character references; everything else is kept as it is.
std::string EscapeHtml(std::string_view text);

}  // namespace service
