#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace service {

// Chinese names of countries and regions by ISO 3166 alpha-2 code, in UTF-8: ICU's
// Simplified Chinese display names, with the short forms people use where ICU's are long
// ("Hong Kong" rather than "Hong Kong SAR of China"). Built once; lookups need no lock.
class CountryNames {
public:
    CountryNames();

    // The name for a code; a code nobody knows comes back as the code itself, upper-cased,
    // and an empty code as the unknown text.
    std::string NameOf(std::string_view code) const;

private:
    std::unordered_map<std::string, std::string> m_names;
};

}  // namespace service
