#include "AddressFacts.h"

#include "ReservedRanges.h"

namespace service {

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
