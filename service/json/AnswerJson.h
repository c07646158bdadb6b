#pragma once

#include "service/core/GeoData.h"
#include "service/core/LookupAnswer.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <string_view>

namespace service {

// Objects keep their keys in the order written, which is the order documented.
using Json = nlohmann::ordered_json;

// The object for an answered address: ip (as given), special (the
// special-purpose label or null), location {country_code, country, region, city, text},
// network {asn, organisation, operator, text}, registered_country {country_code, country,
// text}. What the data do not know is null; the texts are the query page's three lines.
Json AnswerObject(std::string_view ip, AnswerView answer);

// The object that stands in for a text that is no address: {ip: the text, error: why}.
Json ErrorObject(std::string_view text, std::string_view error);

// The answer object for a dotted quad, its ip written canonically (no leading zeros); the
// error object for anything else.
Json LookupObject(const GeoData& data, std::string_view text);

// Appends JsonText(AnswerObject(ip, answer)), byte for byte, written directly: a million
// answers in a row cost a tenth of what building their objects does.
void AppendAnswerJson(std::string& out, std::string_view ip, AnswerView answer);

// Compact UTF-8 JSON. Bytes in the data that are no UTF-8 become U+FFFD instead of making
// the whole answer fail.
std::string JsonText(const Json& value);

}  // namespace service
