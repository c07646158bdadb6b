#include "AnswerJson.h"

#include "Ipv4Address.h"
#include "LookupAnswer.h"

#include <optional>

namespace service {
namespace {

template <typename T>
Json OrNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

}  // namespace

Json AnswerObject(std::string_view ip, const AddressFacts& facts) {
    const LocationFacts& location = facts.location;
    const NetworkFacts& network = facts.network;
    const RegisteredCountryFacts& registered = facts.registeredCountry;
    return Json{
        {"ip", ip},
        {"special", OrNull(facts.special)},
        {"location",
         {{"country_code", OrNull(location.countryCode)},
          {"country", OrNull(location.country)},
          {"region", OrNull(location.region)},
          {"city", OrNull(location.city)},
          {"text", location.text}}},
        {"network",
         {{"asn", OrNull(network.asn)},
          {"organisation", OrNull(network.organisation)},
          {"operator", OrNull(network.operatorName)},
          {"text", network.text}}},
        {"registered_country",
         {{"country_code", OrNull(registered.countryCode)},
          {"country", OrNull(registered.country)},
          {"text", registered.text}}},
    };
}

Json ErrorObject(std::string_view text, std::string_view error) {
    return Json{{"ip", text}, {"error", error}};
}

Json LookupObject(const GeoData& data, std::string_view text) {
    if (text.empty()) return ErrorObject(text, MissingAddressAnswer().location);
    const auto address = ParseIpv4(text);
    if (!address) return ErrorObject(text, InvalidAddressAnswer().location);
    return AnswerObject(FormatIpv4(*address), FactsOf(data, *address));
}

std::string JsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace service
