#include "service/core/LookupAnswer.h"

namespace service {
namespace {

constexpr std::string_view kMissingAddress = "缺少IP地址";  // no address
constexpr std::string_view kInvalidAddress = "IP地址无效";  // not an address

}  // namespace

LookupAnswer AnswerView::Copy() const {
    LookupAnswer answer{std::nullopt, location, network, registeredCountry};
    if (specialRange != nullptr) answer.specialRange = *specialRange;
    return answer;
}

LookupAnswer UniformAnswer(std::string_view text) {
    LookupAnswer answer;
    answer.location.text = text;
    answer.network.text = text;
    answer.registeredCountry.text = text;
    return answer;
}

LookupAnswer SpecialRangeAnswer(std::string_view label) {
    LookupAnswer answer = UniformAnswer(label);
    answer.specialRange = std::string(label);
    return answer;
}

LookupAnswer MissingAddressAnswer() {
    return UniformAnswer(kMissingAddress);
}

LookupAnswer InvalidAddressAnswer() {
    return UniformAnswer(kInvalidAddress);
}

}  // namespace service
