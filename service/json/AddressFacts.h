#pragma once

#include "GeoData.h"

#include <cstdint>
#include <optional>
#include <string>

namespace service {

// What the lookup core knows about one address, part by part; a part the data do not know
// is empty. The text members are the three lines of the query page.
struct LocationFacts {
    std::optional<std::string> countryCode;
    std::optional<std::string> country;
    std::optional<std::string> region;
    std::optional<std::string> city;
    std::string text;
};

struct NetworkFacts {
    std::optional<std::uint32_t> asn;
    std::optional<std::string> organisation;
    std::optional<std::string> operatorName;
    std::string text;
};

struct RegisteredCountryFacts {
    std::optional<std::string> countryCode;
    std::optional<std::string> country;
    std::string text;
};

struct AddressFacts {
    std::optional<std::string> special;
    LocationFacts location;
    NetworkFacts network;
    RegisteredCountryFacts registeredCountry;
};

// What is said of an address the data cannot be asked about: the unknown text in each line.
AddressFacts UnknownFacts();

// Until the core answers part by part, the facts carry its three lines and the label.
AddressFacts FactsOf(const GeoData& data, std::uint32_t address);

}  // namespace service
