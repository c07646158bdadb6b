#include "AddressFacts.h"

#include "ReservedRanges.h"

namespace service {

AddressFacts UnknownFacts() {
    AddressFacts facts;
    facts.location.text = kUnknownText;
    facts.network.text = kUnknownText;
    facts.registeredCountry.text = kUnknownText;
    return facts;
}

AddressFacts FactsOf(const GeoData& data, std::uint32_t address) {
    AddressFacts facts;
    if (const auto label = SpecialRangeLabel(address)) facts.special = std::string(*label);
    LookupAnswer answer = data.Answer(address);
    facts.location.text = std::move(answer.location);
    facts.network.text = std::move(answer.network);
    facts.registeredCountry.text = std::move(answer.registeredCountry);
    return facts;
}

}  // namespace service
