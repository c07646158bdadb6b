#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace service {

// What a database lookup could not tell.
inline constexpr std::string_view kUnknownText = "未知";

// In every part below, an empty name means the data do not tell it. Names are UTF-8 as
// the data have them; each text is the line the query page shows for its item, exactly as
// the program shows it (see DisplayedValue), so the pages and any other face of the
// lookup show the same lines.

// Where the city database puts the address: country, region and city in Chinese.
struct LocationAnswer {
    std::string countryCode;  // ISO 3166 alpha-2, upper case
    std::string country;
    std::string region;
    std::string city;
    std::string text;  // the parts that have a Chinese name, each once, space-separated

    bool operator==(const LocationAnswer&) const = default;
};

// The autonomous system that announces the address.
struct NetworkAnswer {
    std::optional<std::uint32_t> asNumber;
    std::string organisation;  // as the AS table names it
    std::string operatorName;  // the Chinese name of a large Chinese operator
    std::string text;          // "AS" + number, then the operator or else the organisation

    bool operator==(const NetworkAnswer&) const = default;
};

// The country the address block is registered in.
struct RegisteredCountryAnswer {
    std::string countryCode;
    std::string country;
    std::string text;

    bool operator==(const RegisteredCountryAnswer&) const = default;
};

// The three things the service tells about an address. A special-purpose address has its
// label as all three texts and nothing else.
struct LookupAnswer {
    std::optional<std::string> specialRange;
    LocationAnswer location;
    NetworkAnswer network;
    RegisteredCountryAnswer registeredCountry;

    bool operator==(const LookupAnswer&) const = default;
};

// An answer whose parts are kept elsewhere: in a LookupAnswer, or in the memo of a worker
// that answers many addresses (GeoData.h), so that writing it out copies nothing.
struct AnswerView {
    // Not explicit: a LookupAnswer goes wherever a view of one is taken.
    AnswerView(const LookupAnswer& answer)
        : specialRange(answer.specialRange ? &*answer.specialRange : nullptr),
          location(answer.location),
          network(answer.network),
          registeredCountry(answer.registeredCountry) {}
    AnswerView(const std::string* special, const LocationAnswer& locationPart,
               const NetworkAnswer& networkPart, const RegisteredCountryAnswer& registeredPart)
        : specialRange(special),
          location(locationPart),
          network(networkPart),
          registeredCountry(registeredPart) {}

    // A copy of the parts, which outlives what they are kept in.
    LookupAnswer Copy() const;

    const std::string* specialRange;  // null unless the address is special-purpose
    const LocationAnswer& location;
    const NetworkAnswer& network;
    const RegisteredCountryAnswer& registeredCountry;
};

// An answer whose three texts are one text: why there is no address to look up, or that
// nothing is known.
LookupAnswer UniformAnswer(std::string_view text);

// The answer for an address in a special-purpose block.
LookupAnswer SpecialRangeAnswer(std::string_view label);

// Answers for requests that carry no usable address.
LookupAnswer MissingAddressAnswer();
LookupAnswer InvalidAddressAnswer();

}  // namespace service
