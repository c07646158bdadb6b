#pragma once

#include <string>
#include <string_view>

namespace service {

// An English place name as the name tables compare it: ASCII letters and digits
// lower-cased, other ASCII characters (spaces, hyphens, full stops, apostrophes) dropped,
// everything else kept byte for byte. The table generator keys its rows the same way, and
// adds folded spellings ("Wurttemberg" for "Württemberg"), so none is needed here.
std::string NameKey(std::string_view name);

}  // namespace service
