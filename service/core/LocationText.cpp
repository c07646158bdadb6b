#include "service/core/LocationText.h"

#include <vector>

namespace service {
namespace {

constexpr std::string_view kCitySuffix = "市";

std::string_view WithoutCitySuffix(std::string_view name) {
    if (name.size() > kCitySuffix.size() && name.ends_with(kCitySuffix)) {
        name.remove_suffix(kCitySuffix.size());
    }
    return name;
}

}  // namespace

std::string LocationText(std::initializer_list<std::string_view> parts) {
    std::vector<std::string_view> places;
    std::string text;
    for (const std::string_view part : parts) {
        if (part.empty()) continue;
        const std::string_view place = WithoutCitySuffix(part);
        bool named = false;
        for (const std::string_view earlier : places) named = named || earlier == place;
        if (named) continue;
        places.push_back(place);
        if (!text.empty()) text += ' ';
        text += part;
    }
    return text;
}

}  // namespace service
