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

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or code points past
// U+10FFFF), which the direct writer passes on as it is.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xbf;  // the allowed range of the second byte
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            if (lead == 0xe0) low = 0xa0;
            if (lead == 0xed) high = 0x9f;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            length = 4;
            if (lead == 0xf0) low = 0x90;
            if (lead == 0xf4) high = 0x8f;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (byte < (k == 1 ? low : 0x80) || byte > (k == 1 ? high : 0xbf)) return false;
        }
        i += length;
    }
    return true;
}

// A JSON string as nlohmann's compact UTF-8 dump writes it: quotes, backslashes and control
// characters escaped, everything else as it is.
void AppendString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        out.append(text.substr(copied, i - copied));
        copied = i + 1;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xf];
        }
    }
    out.append(text.substr(copied));
    out += '"';
}

void AppendStringOrNull(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += "null";
    } else {
        AppendString(out, text);
    }
}

}  // namespace

void AppendAnswerJson(std::string& out, std::string_view ip, AnswerView answer) {
    const LocationAnswer& location = answer.location;
    const NetworkAnswer& network = answer.network;
    const RegisteredCountryAnswer& registered = answer.registeredCountry;
    const std::string_view texts[] = {
        ip,
        answer.specialRange ? std::string_view(*answer.specialRange) : std::string_view(),
        location.countryCode,
        location.country,
        location.region,
        location.city,
        location.text,
        network.organisation,
        network.operatorName,
        network.text,
        registered.countryCode,
        registered.country,
        registered.text};
    for (const std::string_view text : texts) {
        if (!IsUtf8(text)) {
            out += JsonText(AnswerObject(ip, answer));  // its replacement characters
            return;
        }
    }
    out += "{\"ip\":";
    AppendString(out, ip);
    out += ",\"special\":";
    if (answer.specialRange) {
        AppendString(out, *answer.specialRange);
    } else {
        out += "null";
    }
    out += ",\"location\":{\"country_code\":";
    AppendStringOrNull(out, location.countryCode);
    out += ",\"country\":";
    AppendStringOrNull(out, location.country);
    out += ",\"region\":";
    AppendStringOrNull(out, location.region);
    out += ",\"city\":";
    AppendStringOrNull(out, location.city);
    out += ",\"text\":";
    AppendString(out, location.text);
    out += "},\"network\":{\"asn\":";
    out += network.asNumber ? std::to_string(*network.asNumber) : "null";
    out += ",\"organisation\":";
    AppendStringOrNull(out, network.organisation);
    out += ",\"operator\":";
    AppendStringOrNull(out, network.operatorName);
    out += ",\"text\":";
    AppendString(out, network.text);
    out += "},\"registered_country\":{\"country_code\":";
    AppendStringOrNull(out, registered.countryCode);
    out += ",\"country\":";
    AppendStringOrNull(out, registered.country);
    out += ",\"text\":";
    AppendString(out, registered.text);
    out += "}}";
}

Json AnswerObject(std::string_view ip, AnswerView answer) {
    const LocationAnswer& location = answer.location;
    const NetworkAnswer& network = answer.network;
    const RegisteredCountryAnswer& registered = answer.registeredCountry;
    return Json{
        {"ip", ip},
        {"special", answer.specialRange ? Json(*answer.specialRange) : Json(nullptr)},
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
