#include "LookupAnswer.h"

namespace service {
namespace {

constexpr std::string_view kMissingAddress = "\u7f3a\u5c11IP\u5730\u5740";  // no address
constexpr std::string_view kInvalidAddress = "IP\u5730\u5740\u65e0\u6548";  // not an address

}  // namespace

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
