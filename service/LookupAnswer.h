#pragma once

#include <string>
#include <string_view>

namespace service {

// What a database lookup could not tell.
inline constexpr std::string_view kUnknownText = "\u672a\u77e5";

// The three things the query page tells about an address, in UTF-8, not yet escaped.
struct LookupAnswer {
    std::string location;           // country in Chinese, then region and city
    std::string network;            // "AS" + number + organisation
    std::string registeredCountry;  // in Chinese, from the registry data

    bool operator==(const LookupAnswer&) const = default;
};

// An answer that says the same thing in all three items: a special-purpose label, or why
// there is no address to look up.
LookupAnswer UniformAnswer(std::string_view text);

// Answers for requests that carry no usable address.
LookupAnswer MissingAddressAnswer();
LookupAnswer InvalidAddressAnswer();

}  // namespace service
