#include "service/core/names/CountryNames.h"

#include "service/core/LookupAnswer.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <array>
#include <cctype>
#include <utility>

namespace service {
namespace {

// Where ICU's Simplified Chinese name is the long official one.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kShortForms{{
    {"HK", "\u9999\u6e2f"},              // Hong Kong
    {"MO", "\u6fb3\u95e8"},              // Macao
    {"AE", "\u963f\u8054\u914b"},        // United Arab Emirates
    {"BA", "\u6ce2\u9ed1"},              // Bosnia and Herzegovina
    {"PS", "\u5df4\u52d2\u65af\u5766"},  // Palestine
    {"ZZ", kUnknownText},                // the databases' "unknown region"
}};

std::string ChineseDisplayName(const char* code) {
    icu::UnicodeString name;
    icu::Locale("", code).getDisplayCountry(icu::Locale("zh_CN"), name);
    std::string utf8;
    name.toUTF8String(utf8);
    return utf8;
}

}  // namespace

CountryNames::CountryNames() {
    for (const char* const* code = icu::Locale::getISOCountries(); *code != nullptr; ++code) {
        m_names.emplace(*code, ChineseDisplayName(*code));
    }
    for (const auto& [code, name] : kShortForms) m_names[std::string(code)] = std::string(name);
}

std::string CountryNames::NameOf(std::string_view code) const {
    if (code.empty()) return std::string(kUnknownText);
    std::string upper(code);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto found = m_names.find(upper);
    return found != m_names.end() ? found->second : upper;
}

}  // namespace service
