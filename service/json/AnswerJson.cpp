#include "service/json/AnswerJson.h"

#include "service/core/IpAddress.h"
#include "service/core/LookupAnswer.h"

#include <optional>

namespace service {
namespace {

// The core leaves what the data do not tell empty; JSON says null.
Json OrNull(const std::string& value) {
    return value.empty() ? Json(nullptr) : Json(value);
}

template <typename T>
Json OrNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

}  // namespace

Json AnswerObject(std::string_view ip, const LookupAnswer& answer) {
    const LocationAnswer& location = answer.location;
    const NetworkAnswer& network = answer.network;
    const RegisteredCountryAnswer& registered = answer.registeredCountry;
    return Json{
        {"ip", ip},
        {"special", OrNull(answer.specialRange)},
        {"location",
         {{"country_code", OrNull(location.countryCode)},
          {"country", OrNull(location.country)},
          {"region", OrNull(location.region)},
          {"city", OrNull(location.city)},
          {"text", location.text}}},
        {"network",
         {{"asn", OrNull(network.asNumber)},
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
    if (text.empty()) return ErrorObject(text, MissingAddressAnswer().location.text);
    const auto address = ParseIpAddress(text);
    if (!address) return ErrorObject(text, InvalidAddressAnswer().location.text);
    return AnswerObject(FormatIpAddress(*address), data.Answer(*address));
}

std::string JsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace service
