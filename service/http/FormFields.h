#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace service {

// The value of the first field called name in an application/x-www-form-urlencoded body
// ("ip=1.2.3.4&action=2"), with '+' and %XX decoded; nothing when the field is absent.
// A malformed escape is kept as it stands.
std::optional<std::string> FormField(std::string_view body, std::string_view name);

}  // namespace service
